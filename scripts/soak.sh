#!/usr/bin/env bash
# Runs the game unattended under a private Xvfb and checks that it holds up:
#   scripts/soak.sh [SECONDS] [BUILD_DIR]     (defaults: 300, build)
# It passes (exit 0) when the game
#   - is still running at the end and quits with 0 on Escape,
#   - has a resident set size at the end within 10 % of the one after the
#     first minute (after half the run for runs shorter than two minutes),
#   - brought in at least its first wave of targets (every wave after that
#     means the one before was gone: the count of waves is printed),
#   - still shows a picture at the end.
# The game runs under strace, which records only its file openings (each
# target of a wave reads "victim.vcd"); nothing in the game is changed.
# SOAK_DISPLAY=NN picks the display number, otherwise Xvfb chooses a free one.
# Samples, the game's output and screenshots stay in the directory printed.
set -euo pipefail
cd "$(dirname "$0")/.."

duration=${1:-300}
build=${2:-build}
interval=5        # seconds between memory samples
tolerance=10      # per cent the resident size may move after the first minute

case "$duration" in
  ''|*[!0-9]*) echo "usage: $0 [SECONDS] [BUILD_DIR]" >&2; exit 2 ;;
esac
[ "$duration" -ge 10 ] || { echo "soak: run at least 10 seconds" >&2; exit 2; }
[ -x "$build/sortie" ] || { echo "soak: no game at $build/sortie (build it first)" >&2; exit 2; }
for tool in Xvfb xdotool import convert strace; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing (Debian packages: xvfb xdotool imagemagick strace)" >&2; exit 2; }
done
reference_at=60
[ "$duration" -ge 120 ] || reference_at=$((duration / 2))

out=$(mktemp -d "${TMPDIR:-/tmp}/sortie-soak.XXXXXX")
echo "soak: $duration s, results in $out"

xvfb_pid=""
tracer_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null || true
  [ -n "$tracer_pid" ] && kill "$tracer_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb writes the display number once it is ready for clients.
Xvfb ${SOAK_DISPLAY:+":$SOAK_DISPLAY"} -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp \
  3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$out/display" ] && break
  sleep 0.1
done
display=":$(head -n1 "$out/display" 2>/dev/null)"
[ "$display" != ":" ] && kill -0 "$xvfb_pid" 2>/dev/null || { echo "soak: Xvfb did not start" >&2; exit 1; }
export DISPLAY=$display
echo "soak: Xvfb on $DISPLAY"

# Only the openings stop the game for strace (seccomp filter); the rest runs
# at full speed.
strace -f -qq --seccomp-bpf -e trace=open,openat -e signal=none -o "$out/opens.log" \
  "$build/sortie" -w >"$out/game.log" 2>&1 &
tracer_pid=$!

fail() {
  echo "soak: FAIL: $*"
  echo "--- game output (last lines)"
  tail -n 20 "$out/game.log" || true
  exit 1
}

for _ in $(seq 100); do
  game_pid=$(pgrep -P "$tracer_pid" | head -n1 || true)
  [ -n "$game_pid" ] && break
  sleep 0.1
done
[ -n "$game_pid" ] || fail "the game did not start"

window=""
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --name '^sortie$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window opened"
  sleep 0.1
done
[ -n "$window" ] || fail "no game window"

# Clock ticks of processor time the game has used: a game that hangs (a
# crash that Allegro's signal handler does not finish) stops using any.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
# Eight targets a wave, each reading its configuration once.
waves() {
  local n
  n=$(grep -c 'victim\.vcd' "$out/opens.log" 2>/dev/null || true)
  echo $(( ${n:-0} / 8 ))
}

echo "seconds rss_kb waves" >"$out/samples.txt"
start=$(date +%s)
reference_rss=""
elapsed=0
last_cpu=$(cpu_ticks "$game_pid")
while [ "$elapsed" -lt "$duration" ]; do
  sleep "$interval"
  elapsed=$(($(date +%s) - start))
  kill -0 "$game_pid" 2>/dev/null || fail "the game died after $elapsed s"
  rss=$(rss_kb "$game_pid")
  [ -n "$rss" ] || fail "no resident size for the game after $elapsed s"
  cpu=$(cpu_ticks "$game_pid")
  [ "${cpu:-0}" -gt "${last_cpu:-0}" ] || fail "the game stopped running (no processor time) after $elapsed s"
  last_cpu=$cpu
  echo "$elapsed $rss $(waves)" | tee -a "$out/samples.txt"
  if [ -z "$reference_rss" ] && [ "$elapsed" -ge "$reference_at" ]; then
    reference_rss=$rss
    reference_time=$elapsed
    import -window "$window" "$out/after_reference.png" 2>/dev/null || true
  fi
done
end_rss=$rss
import -window "$window" "$out/at_end.png" || fail "no screenshot at the end"

# The game leaves on Escape with 0.
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true
xdotool key --window "$window" Escape 2>/dev/null || xdotool key Escape
code=timeout
for _ in $(seq 100); do
  if ! kill -0 "$tracer_pid" 2>/dev/null; then
    set +e
    wait "$tracer_pid"
    code=$?
    set -e
    tracer_pid=""
    game_pid=""
    break
  fi
  sleep 0.05
done
[ "$code" = "0" ] || fail "exit code $code after Escape"

grep -q "Create background sphere - OK." "$out/game.log" || fail "no start-up line in the game's output"

wave_count=$(waves)
[ "$wave_count" -ge 1 ] || fail "no target wave was ever made"

# A picture, not a blank window: the pixels differ.
spread=$(convert "$out/at_end.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
awk -v s="$spread" 'BEGIN { exit !(s > 0.01) }' || fail "the window is blank at the end (deviation $spread)"

change=$(awk -v a="$reference_rss" -v b="$end_rss" 'BEGIN { printf "%.1f", 100 * (b - a) / a }')
echo "soak: resident size $reference_rss kB after $reference_time s, $end_rss kB after $elapsed s ($change %)"
echo "soak: target waves made: $wave_count (the first at start; each later one replaced a wave that was gone)"
awk -v c="$change" -v t="$tolerance" 'BEGIN { exit !(c <= t && c >= -t) }' ||
  fail "resident size moved by $change %, more than $tolerance %"
echo "soak: passed: ran $elapsed s without a crash, quit with 0; screenshots in $out"
