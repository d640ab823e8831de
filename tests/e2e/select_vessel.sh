# The game opens on the vessel selection screen: a lit vessel turning above
# its black shadow and a yellow column of text. Escape flies the vessel shown,
# right then Enter the second configuration in sorted order (F7's bounding
# box tells the hulls apart), and the close button quits from the screen.
set -u
BUILD=$1
source "$(dirname "$0")/../support/e2e_lib.sh"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
shot="$BUILD/e2e_select_vessel.png"

# Pixels of a region WxH+X+Y matching an fx condition on r, g, b (0..1).
count_px() {
  convert "$1" -crop "$2" +repage -fx "$3" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Starts the game, makes the keys' moves on the selection screen, waits for
# the flight and prints the vessel's bounding box (F7), one corner a line.
flown_box() {
  start_game -w
  local w
  w=$(game_window) || fail "no window"
  sleep 1
  send_keys "$w" "$@"
  sleep 3
  send_keys "$w" F7
  sleep 0.5
  send_keys "$w" Escape
  wait_exit 5
  [ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after $*"
  grep -A1 "^Bounding box:" "$GAME_OUT" | tail -n1 | tr ')' '\n' | tr -d '( ' | grep -v '^$' || true
}

# The first screen.
start_game -w
w=$(game_window) || fail "no window"
sleep 2
window_shot "$w" "$shot" || fail "no screenshot"
sleep 0.5
window_shot "$w" "$shots/later.png"
grep -q "Create background sphere" "$GAME_OUT" && fail "the scene was built before a vessel was chosen"
yellow=$(count_px "$shot" 300x300+0+0 'r>0.6 && g>0.6 && b<0.3')
[ "$yellow" -ge 400 ] || fail "only $yellow yellow text pixels in the top left"
# The vessel in the middle: several shades that are neither the blue-grey
# background nor black, so it is lit rather than flat.
shades=$(convert "$shot" -crop 240x160+280+120 +repage -depth 4 txt:- |
  awk 'NR > 1 { print $3 }' | sort | uniq -c | awk '$1 >= 20' | wc -l)
[ "$shades" -ge 6 ] || fail "the vessel shows only $shades shades"
shadow=$(count_px "$shot" 400x80+120+330 'r<0.05 && g<0.05 && b<0.05')
[ "$shadow" -ge 300 ] || fail "only $shadow black shadow pixels below the vessel"
turned=$(pixels_differing "$shot" "$shots/later.png" 300x240+250+100)
[ "$turned" -ge 200 ] || fail "the vessel did not turn ($turned pixels changed)"
echo "ok: selection screen with $yellow yellow pixels, $shades vessel shades, $shadow shadow pixels; screenshot $shot"

# The close button leaves from the selection screen.
"$BUILD/probe/close_window_probe" "$w" || fail "could not ask the window to close"
wait_exit 10
[ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after the close button on the selection screen"
echo "ok: the close button quits from the selection screen"

first=$(flown_box Escape)
second=$(flown_box Right Return)
second_shown=$(flown_box Right sleep 2 Escape)
[ -n "$first" ] && [ -n "$second" ] || fail "F7 printed no bounding box"
[ "$first" != "$second" ] || fail "right then Enter flew the first hull again"
[ "$second" = "$second_shown" ] || fail "Enter during the fade took another vessel than the one faded to"
echo "ok: Escape flies the first hull, right then Enter the second"
