# sortie-data render: a still of a shipped hull from the front and from
# above is a 640x480 PNG of the model on the background; bad arguments,
# a missing model and a missing display are refused with a message.
source "$(dirname "$0")/../support/e2e_lib.sh"
tool="$BUILD/sortie-data"

hull="$SRC/data/models/falcon.3ds"
"$tool" render "$hull" "$scratch/front.png" 0 0 || fail "front: exit $?"
"$tool" render "$hull" "$scratch/above.png" 0 90 || fail "above: exit $?"
"$tool" render "$hull" "$scratch/default.png" || fail "default angle: exit $?"
for p in front above default; do
  [ "$(identify -format '%wx%h' "$scratch/$p.png")" = 640x480 ] || fail "$p is not 640x480"
done
# The background, the selection screen's blue, fills the corners; the model
# the middle.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
bg=$(pixel "$scratch/front.png" 2 2)
case "$bg" in srgb\(5[01],7[67],10[12]\)) ;; *) fail "background is $bg" ;; esac
[ "$(pixel "$scratch/above.png" 637 477)" = "$bg" ] || fail "corner of the top view is not background"
[ "$(pixel "$scratch/above.png" 320 240)" != "$bg" ] || fail "nothing drawn in the middle"
# From above the hull covers far more of the picture than from the front.
count() { convert "$1" -fill black -opaque "$bg" -fill white +opaque black -format '%[fx:mean*w*h]' info:; }
front=$(count "$scratch/front.png")
above=$(count "$scratch/above.png")
awk -v f="$front" -v a="$above" 'BEGIN { exit !(a > 3 * f && f > 500) }' || fail "front $front px, above $above px"

"$tool" render "$hull" >/dev/null 2>&1 && fail "one argument accepted"
"$tool" render "$hull" "$scratch/x.png" 10 >/dev/null 2>&1 && fail "yaw without pitch accepted"
"$tool" render "$hull" "$scratch/x.png" ten 5 >/dev/null 2>&1 && fail "a word for an angle accepted"
out=$("$tool" render "$scratch/none.3ds" "$scratch/x.png" 2>&1) && fail "missing model accepted"
echo "$out" | grep -q "none.3ds" || fail "missing model not named: $out"
out=$(env -u DISPLAY "$tool" render "$hull" "$scratch/x.png" 2>&1) && fail "rendered without a display"
echo "$out" | grep -q "DISPLAY" || fail "no display message: $out"
[ -e "$scratch/x.png" ] && fail "a picture was written after a failure"
echo "ok: stills from the front and above; bad calls refused"
