# The real game opens its window at the asked size, draws, and quits with 0
# soon after Escape, the close button, Ctrl-C or a kill. (A start without a
# display is the GL tests' RealGame case.)
source "$(dirname "$0")/../support/e2e_lib.sh"

check_size_and_quit() {
  local want=$1; shift
  start_game "$@"
  local w
  w=$(game_window) || fail "no window for $*"
  fly_first_vessel "$w" || fail "no flight after the selection screen"
  sleep 1
  local geometry
  geometry=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')
  [ "$geometry" = "$want" ] || fail "window is $geometry, wanted $want for $*"
  kill -0 "$GAME_PID" 2>/dev/null || fail "game died while running"
  quit_with_escape "$w" 2 "(for $*)"
  echo "ok: $* opened $geometry and quit with 0"
}

check_size_and_quit 640x480 -w
check_size_and_quit 800x600 -w -R3

# The window's close button quits like Escape.
start_flying
sleep 1
"$BUILD/probe/close_window_probe" "$w" || fail "could not ask the window to close"
wait_exit 3
[ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after the close button"
echo "ok: the close button quits with 0"

# Ctrl-C (in flight) and a polite kill (on the selection screen) quit the
# same way: starts the game, waits for $1 (flight or selection), sends $2.
quits_on_signal() {
  local when=$1 sig=$2 w
  start_game -w
  w=$(game_window) || fail "no window for SIG$sig"
  if [ "$when" = flight ]; then
    fly_first_vessel "$w" || fail "no flight after the selection screen"
  else
    wait_for_selection "$w" || fail "no selection screen"
  fi
  kill -"$sig" "$GAME_PID"
  wait_exit 10
  [ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE after SIG$sig in $when"
}
quits_on_signal flight INT
quits_on_signal selection TERM
echo "ok: Ctrl-C and a kill quit with 0"

