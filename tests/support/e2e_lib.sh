# Helpers for the end-to-end scripts: start the real game under the test X
# display and drive it with xdotool. Source it first thing: $1 is the build
# directory, $2 the source tree; $scratch is a fresh directory, removed at
# exit.
set -u
BUILD=$1
SRC=${2:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Starts the game with the given arguments; sets GAME_PID and GAME_OUT.
start_game() {
  GAME_OUT=$(mktemp -p "$scratch")
  "$BUILD/sortie" "$@" >"$GAME_OUT" 2>&1 &
  GAME_PID=$!
}

# Waits up to 20 s for the game's window; prints its id.
game_window() {
  local w=""
  for _ in $(seq 200); do
    w=$(xdotool search --onlyvisible --name '^sortie$' 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for the game to exit; sets EXIT_CODE (or "timeout").
# Call it directly, not in $( ): only this shell may wait for the game.
wait_exit() {
  local limit=$1
  EXIT_CODE=timeout
  for _ in $(seq $((limit * 20))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      wait "$GAME_PID"
      EXIT_CODE=$?
      return 0
    fi
    sleep 0.05
  done
  kill -9 "$GAME_PID" 2>/dev/null
}

# Escape in window $1 ends the game within $2 seconds, with exit code 0
# (the rest of the arguments say when, for the failure message).
quit_with_escape() {
  local w=$1 limit=$2; shift 2
  send_keys "$w" Escape
  wait_exit "$limit"
  [ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after Escape $*"
}

# Gives the window the keyboard without moving the pointer (which steers).
send_keys() {
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  xdotool key --window "$w" "$@" 2>/dev/null || xdotool key "$@"
}

# Waits up to 20 s for the flight to begin after the vessel selection screen
# (the scene's first progress line); false when it does not.
wait_for_flight() {
  for _ in $(seq 200); do
    grep -q "^Create background sphere" "$GAME_OUT" && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to 20 s for the vessel selection screen to be drawn in window $1
# (its blue-grey background in the bottom right corner), so that keys sent
# now reach it; false when it does not come.
wait_for_selection() {
  local c
  for _ in $(seq 100); do
    c=$(import -window "$1" -crop 1x1+4+4 -gravity SouthEast txt:- 2>/dev/null | tail -n1)
    case "$c" in *"srgb(51,76,102)"* | *"srgb(51,77,102)"*) return 0 ;; esac
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# The game opens on the vessel selection screen: Enter flies the vessel
# shown, the first configuration in sorted order.
fly_first_vessel() {
  wait_for_selection "$1" || return 1
  send_keys "$1" Return
  wait_for_flight
}
# The game started windowed with these options, flying the first vessel;
# its window in w.
start_flying() {
  start_game -w "$@"
  w=$(game_window) || fail "no window"
  fly_first_vessel "$w" || fail "no flight after the selection screen"
}

fail() {
  echo "FAIL: $*"
  [ -n "${GAME_OUT:-}" ] && { echo "--- game output"; cat "$GAME_OUT"; }
  [ -n "${GAME_PID:-}" ] && kill -9 "$GAME_PID" 2>/dev/null
  exit 1
}

# Prints "x y z" of the last "Object center:" line the game printed (F7).
object_center() {
  grep "Object center:" "$GAME_OUT" | tail -n1 | sed 's/.*(\([^ ]*\) \([^ ]*\) \([^)]*\)).*/\1 \2 \3/'
}

# Presses F7 in window $1 and prints "x y z" of the centre the game gives
# (waiting up to 3 s for its line: keys sent before it have been read then).
centre_after_f7() {
  local before
  before=$(grep -c "Object center:" "$GAME_OUT")
  send_keys "$1" F7
  for _ in $(seq 60); do
    [ "$(grep -c "Object center:" "$GAME_OUT")" -gt "$before" ] && break
    sleep 0.05
  done
  object_center
}

# Holds key $2 down in window $1 for $3 seconds.
hold_key() {
  xdotool keydown --window "$1" "$2"
  sleep "$3"
  xdotool keyup --window "$1" "$2"
}

# Saves a picture of the game's window.
window_shot() {
  import -window "$1" "$2" 2>/dev/null
}

# Whole number of pixels that differ between two pictures (optionally a region
# WxH+X+Y of both, and how far a colour may move unnoticed, 2% by default).
pixels_differing() {
  local a=$1 b=$2 region=${3:-} fuzz=${4:-2%}
  if [ -n "$region" ]; then
    convert "$a" -crop "$region" +repage "$a.crop.png"
    convert "$b" -crop "$region" +repage "$b.crop.png"
    a="$a.crop.png"; b="$b.crop.png"
  fi
  compare -metric AE -fuzz "$fuzz" "$a" "$b" null: 2>&1 | cut -d' ' -f1 | cut -d. -f1
}

# Mean colour "r g b" (0..255) of a region WxH+X+Y of a picture.
mean_colour() {
  convert "$1" -crop "$2" +repage -resize 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Sound capture for a game started with HOME=$home: Allegro's ALSA output
# goes to the file $capture (unsigned 16-bit stereo, silence 0x8000) instead
# of a sound card. Call once after making $home.
capture_sound_in() {
  capture="$1/capture.raw"
  cat >"$1/.asoundrc" <<CONF
pcm.!default { type file; slave.pcm "null"; file "$capture"; format "raw" }
CONF
}

# Bytes captured so far (a mark for loud_after).
captured_bytes() {
  stat -c %s "$capture" 2>/dev/null || echo 0
}

# Values of the capture from byte $1 on that are far from silence.
loud_after() {
  tail -c +"$(($1 + 1))" "$capture" | od -An -v -tu2 -w2 |
    awk '{ d = $1 - 32768; if (d > 2000 || d < -2000) n++ } END { print n + 0 }'
}
