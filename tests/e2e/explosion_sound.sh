# An explosion with an explosion sound really plays it: through Allegro's ALSA
# driver into a file sink (no sound card needed, root or not), the capture
# holds the sample, and the sound thing goes when the sample has played.
set -u
BUILD=$1
probe="$BUILD/probe/explosion_sound_probe"
[ -x "$probe" ] || { echo "FAIL: $probe is not built"; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
capture="$home/capture.raw"
cat >"$home/.asoundrc" <<CONF
pcm.!default { type file; slave.pcm "null"; file "$capture"; format "raw" }
CONF

out="$home/probe.out"
HOME="$home" timeout 60 "$probe" "$capture" "$home" >"$out" 2>&1
code=$?
grep -v '^ALSA lib' "$out"
[ "$code" = "0" ] || { echo "FAIL: the probe answered $code"; exit 1; }
[ -s "$capture" ] || { echo "FAIL: nothing was captured"; exit 1; }
echo "ok: the explosion sound was heard in the capture"
