# Flies the real game with xdotool: throttle, views, stabilizer keys, reset
# and Escape, checking what a player would see.
source "$(dirname "$0")/../support/e2e_lib.sh"

start_flying
sleep 2
y0=$(centre_after_f7 "$w" | cut -d' ' -f2)
[ -n "$y0" ] || fail "F7 printed no object centre"

# Throttle up: the vessel flies forward along +y.
hold_key "$w" a 2
sleep 1
y1=$(centre_after_f7 "$w" | cut -d' ' -f2)
awk -v a="$y0" -v b="$y1" 'BEGIN { exit !(b > a + 10) }' || fail "holding A did not move the vessel forward ($y0 -> $y1)"
echo "ok: throttle moved the vessel from y=$y0 to y=$y1"

# Throttle back to zero. Q is read as a held key once a frame, so it is held
# long enough for a slow frame to see it.
hold_key "$w" q 0.5

# Each of the first four views shows a different picture.
for k in F1 F2 F3 F4; do
  send_keys "$w" "$k"
  sleep 0.7
  window_shot "$w" "$scratch/$k.png"
done
for a in F1 F2 F3 F4; do
  for b in F1 F2 F3 F4; do
    [ "$a" \< "$b" ] || continue
    n=$(pixels_differing "$scratch/$a.png" "$scratch/$b.png")
    [ "$n" -gt 2000 ] 2>/dev/null || fail "views $a and $b look the same ($n pixels differ)"
  done
done
echo "ok: F1 to F4 give four different pictures"

# The stabilizer keys write on the message console: show it on panel 0.
send_keys "$w" F2 1 1
sleep 0.7
panel="165x155+59+315"
window_shot "$w" "$scratch/console0.png"
# Twice in one go: off and on again before the vessel can sink.
send_keys "$w" F11 F11
sleep 0.7
window_shot "$w" "$scratch/console1.png"
n=$(pixels_differing "$scratch/console0.png" "$scratch/console1.png" "$panel")
[ "$n" -gt 20 ] 2>/dev/null || fail "F11 wrote nothing on the console panel ($n pixels)"
send_keys "$w" F12
sleep 0.7
window_shot "$w" "$scratch/console2.png"
n=$(pixels_differing "$scratch/console1.png" "$scratch/console2.png" "$panel")
[ "$n" -gt 20 ] 2>/dev/null || fail "F12 wrote nothing on the console panel ($n pixels)"
echo "ok: F11 and F12 write on the console"

# The reset key brings the vessel back over the origin.
send_keys "$w" KP_Begin
sleep 0.5
read -r x y z <<<"$(centre_after_f7 "$w")"
awk -v x="$x" -v y="$y" -v z="$z" 'BEGIN { exit !(x == 0 && y < 5 && y > -5 && z > 0) }' ||
  fail "reset left the vessel at ($x $y $z)"
grep -q "Ground intersect!" "$GAME_OUT" && fail "the vessel touched the ground"
echo "ok: reset brought the vessel back to ($x $y $z)"

quit_with_escape "$w" 2
echo "ok: Escape quits with 0"
