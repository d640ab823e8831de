# The game opens on the vessel selection screen: a lit vessel turning above
# its black shadow and a yellow column of text. Escape flies the vessel shown,
# right then Enter the second configuration in sorted order (F7's bounding
# box tells the hulls apart), and the close button quits from the screen.
source "$(dirname "$0")/../support/e2e_lib.sh"
shot="$BUILD/e2e_select_vessel.png"

# "width length" of the hull mesh a configuration flies, from sortie-data.
hull_size() {
  local vhd mesh
  vhd=$(sed -n 's/^VHD *= *//p' "$1" | head -n1 | tr -d '\r')
  mesh=$(sed -n 's/^MESH *= *//p' "data/$vhd" | head -n1 | tr -d '\r')
  "$BUILD/sortie-data" model "data/$mesh" | grep -o '"bbox":\[[^]]*\]' | tr -d '"bbox:[]' |
    awk -F, '{ printf "%.2f %.2f\n", $2 - $1, $4 - $3 }'
}

# "width length" of the last bounding box F7 printed (the vessel flies level).
flown_size() {
  grep -A1 "^Bounding box:" "$GAME_OUT" | tail -n1 | tr -d '()' |
    awk '{ for (i = 1; i <= NF; i += 3) { x = $i; y = $(i + 1)
             if (i == 1 || x < x0) x0 = x; if (i == 1 || x > x1) x1 = x
             if (i == 1 || y < y0) y0 = y; if (i == 1 || y > y1) y1 = y }
           if (NF >= 24) printf "%.2f %.2f\n", x1 - x0, y1 - y0 }'
}

# Plays the selection screen with the given moves (xdotool key names, or
# "wait" for two seconds), then flies for a while and prints the size F7 gives.
fly_after() {
  start_game -w
  local w k
  w=$(game_window) || fail "no window"
  wait_for_selection "$w" || fail "no selection screen"
  for k in "$@"; do
    if [ "$k" = wait ]; then sleep 2; else send_keys "$w" "$k"; fi
  done
  wait_for_flight || fail "no flight after $*"
  sleep 2
  send_keys "$w" F7
  sleep 0.5
  quit_with_escape "$w" 5 "($*)"
  flown_size
}

# Sizes agree within 0.2 m.
same_size() {
  echo "$1 $2" | awk '{ exit !($1 - $3 < 0.2 && $3 - $1 < 0.2 && $2 - $4 < 0.2 && $4 - $2 < 0.2) }'
}

# The first screen.
start_game -w
w=$(game_window) || fail "no window"
wait_for_selection "$w" || fail "no selection screen"
sleep 1  # the vessel fades in
window_shot "$w" "$shot" || fail "no screenshot"
sleep 0.5
window_shot "$w" "$scratch/later.png"
grep -q "Create background sphere" "$GAME_OUT" && fail "the scene was built before a vessel was chosen"
# What the screen shows is the golden frames' business; here it turns.
turned=$(pixels_differing "$shot" "$scratch/later.png" 300x240+250+100)
[ "$turned" -ge 200 ] || fail "the vessel did not turn ($turned pixels changed)"
echo "ok: the selection screen turns its vessel ($turned pixels changed); screenshot $shot"

# The close button leaves from the selection screen.
"$BUILD/probe/close_window_probe" "$w" || fail "could not ask the window to close"
wait_exit 10
[ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after the close button on the selection screen"
echo "ok: the close button quits from the selection screen"

mapfile -t configurations < <(ls data/*.vcd | LC_ALL=C sort -f)
[ "${#configurations[@]}" -ge 2 ] || fail "fewer than two configurations in data/"
want_first=$(hull_size "${configurations[0]}")
want_second=$(hull_size "${configurations[1]}")
same_size "$want_first" "$want_second" && fail "the first two configurations have hulls of one size"

first=$(fly_after Escape)
same_size "$first" "$want_first" || fail "Escape flew a hull of $first, not the first configuration's $want_first"
echo "ok: Escape flies ${configurations[0]} ($first)"
second=$(fly_after Right Return)
same_size "$second" "$want_second" || fail "right then Enter flew a hull of $second, not ${configurations[1]}'s $want_second"
echo "ok: right then Enter flies ${configurations[1]} ($second)"
shown=$(fly_after Right wait Left wait Right wait Escape)
same_size "$shown" "$want_second" || fail "Escape after the moves flew $shown, not ${configurations[1]}'s $want_second"
echo "ok: Escape takes the vessel shown after left and right"
