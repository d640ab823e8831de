# sortie-data render: a still of a shipped hull from the front and from
# above is a 640x480 PNG of the model on the background; bad arguments,
# a missing model and a missing display are refused with a message.
set -u
BUILD=$1
SRC=$2
tool="$BUILD/sortie-data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

hull="$SRC/data/models/falcon.3ds"
"$tool" render "$hull" "$work/front.png" 0 0 || fail "front: exit $?"
"$tool" render "$hull" "$work/above.png" 0 90 || fail "above: exit $?"
"$tool" render "$hull" "$work/default.png" || fail "default angle: exit $?"
for p in front above default; do
  [ "$(identify -format '%wx%h' "$work/$p.png")" = 640x480 ] || fail "$p is not 640x480"
done
# The background, the selection screen's blue, fills the corners; the model
# the middle.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
bg=$(pixel "$work/front.png" 2 2)
case "$bg" in srgb\(5[01],7[67],10[12]\)) ;; *) fail "background is $bg" ;; esac
[ "$(pixel "$work/above.png" 637 477)" = "$bg" ] || fail "corner of the top view is not background"
[ "$(pixel "$work/above.png" 320 240)" != "$bg" ] || fail "nothing drawn in the middle"
# From above the hull covers far more of the picture than from the front.
count() { convert "$1" -fill black -opaque "$bg" -fill white +opaque black -format '%[fx:mean*w*h]' info:; }
front=$(count "$work/front.png")
above=$(count "$work/above.png")
awk -v f="$front" -v a="$above" 'BEGIN { exit !(a > 3 * f && f > 500) }' || fail "front $front px, above $above px"

"$tool" render "$hull" >/dev/null 2>&1 && fail "one argument accepted"
"$tool" render "$hull" "$work/x.png" 10 >/dev/null 2>&1 && fail "yaw without pitch accepted"
"$tool" render "$hull" "$work/x.png" ten 5 >/dev/null 2>&1 && fail "a word for an angle accepted"
out=$("$tool" render "$work/none.3ds" "$work/x.png" 2>&1) && fail "missing model accepted"
echo "$out" | grep -q "none.3ds" || fail "missing model not named: $out"
out=$(env -u DISPLAY "$tool" render "$hull" "$work/x.png" 2>&1) && fail "rendered without a display"
echo "$out" | grep -q "DISPLAY" || fail "no display message: $out"
[ -e "$work/x.png" ] && fail "a picture was written after a failure"
echo "ok: stills from the front and above; bad calls refused"
