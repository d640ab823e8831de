# P pauses the real game with "PAUSED" across the view and the vessel held
# still; H puts the key table on the middle cockpit panel, a page at a time.
# Set SORTIE_SHOTS=DIR to keep the pictures.
source "$(dirname "$0")/../support/e2e_lib.sh"
shots=${SORTIE_SHOTS:-$scratch}
mkdir -p "$shots"

# Pixels of the yellow "PAUSED" in the middle of the window.
paused_pixels() {
  convert "$1" -crop 360x80+140+200 +repage -fuzz 25% -fill black +opaque "rgb(255,255,77)" \
    -fill white -opaque "rgb(255,255,77)" -format "%[fx:int(mean*w*h)]" info:
}

start_flying
send_keys "$w" F2
hold_key "$w" a 1.5

send_keys "$w" p
c0=$(centre_after_f7 "$w")
[ -n "$c0" ] || fail "F7 printed no object centre"
sleep 1.5
c1=$(centre_after_f7 "$w")
[ "$c0" = "$c1" ] || fail "the vessel moved while paused ($c0 -> $c1)"
window_shot "$w" "$shots/paused.png"
n=$(paused_pixels "$shots/paused.png")
[ "$n" -gt 150 ] 2>/dev/null || fail "no PAUSED in the middle of the view ($n pixels)"
echo "ok: paused at ($c1), PAUSED shown ($n pixels)"

send_keys "$w" p
sleep 1
c2=$(centre_after_f7 "$w")
[ "$c2" != "$c1" ] || fail "the vessel did not move on after P again"
window_shot "$w" "$shots/resumed.png"
n=$(paused_pixels "$shots/resumed.png")
[ "$n" -lt 20 ] 2>/dev/null || fail "PAUSED still shown after resuming ($n pixels)"
echo "ok: P again resumes ($c1 -> $c2)"

# H: the middle panel turns to the console and shows the first page, then
# the second.
hold_key "$w" q 0.5
panel="172x164+234+308"
window_shot "$w" "$shots/before_help.png"
send_keys "$w" h
sleep 0.7
window_shot "$w" "$shots/help1.png"
send_keys "$w" h
sleep 0.7
window_shot "$w" "$shots/help2.png"
n1=$(pixels_differing "$shots/before_help.png" "$shots/help1.png" "$panel")
n2=$(pixels_differing "$shots/help1.png" "$shots/help2.png" "$panel")
[ "$n1" -gt 200 ] 2>/dev/null || fail "H did not bring the console onto the middle panel ($n1 pixels)"
[ "$n2" -gt 50 ] 2>/dev/null || fail "the second H showed no new page ($n2 pixels)"
echo "ok: H shows the keys page by page on the middle panel"

# Escape quits while paused.
send_keys "$w" p
sleep 0.3
quit_with_escape "$w" 2 "while paused"
echo "ok: Escape quits with 0 while paused"
