# Opponents that fight back: with -e the console says so at start, and a
# player who sits still for a minute is hit: the vessel is lost (the game
# switches to the chase view of the replacement) or its shield reads lower;
# no target flies into the ground; Escape quits with 0. Without -e the
# console has no such line.
source "$(dirname "$0")/../support/e2e_lib.sh"

console_panel="165x155+59+315"    # panel 0 once "1 1" has put the console on it
below_horizon="400x60+120+250"    # ground just below the horizon, clear of every panel
shield_gauge="50x40+546+333"      # the status panel's shield disc and percentage

# The start of a game with the given options, flying the first vessel of
# the selection screen (the all-rounder): the console on panel 0.
start_with_console() {
  start_flying "$@"
  sleep 2
  send_keys "$w" 1 1
  sleep 1
}

quit_game() {
  quit_with_escape "$w" 3 "($*)"
}

start_with_console
window_shot "$w" "$scratch/plain.png"
quit_game "without -e"

start_with_console -e
window_shot "$w" "$scratch/start.png"
n=$(pixels_differing "$scratch/plain.png" "$scratch/start.png" "$console_panel")
[ "$n" -gt 30 ] 2>/dev/null || fail "with -e the console shows nothing more than without ($n pixels)"
echo "ok: -e adds a line to the console at start ($n pixels)"

# A minute with nobody at the controls: the wave arrives, turns on the
# hovering vessel and shoots it down (its replacement is seen from behind)
# or at least into its shield.
sleep 60
window_shot "$w" "$scratch/end.png"
n=$(pixels_differing "$scratch/start.png" "$scratch/end.png" "$below_horizon")
if [ "$n" -gt 3000 ] 2>/dev/null; then
  echo "ok: the vessel was shot down and replaced, the view is outside ($n pixels below the horizon changed)"
else
  s=$(pixels_differing "$scratch/start.png" "$scratch/end.png" "$shield_gauge")
  [ "$s" -gt 30 ] 2>/dev/null ||
    fail "after a minute the vessel is neither replaced ($n pixels) nor its shield lower ($s pixels)"
  echo "ok: the vessel was hit, its shield reads lower ($s pixels of the gauge changed)"
fi
grep -q "Ground intersect!" "$GAME_OUT" && fail "a vessel flew into the ground"
echo "ok: no vessel flew into the ground"
quit_game "with -e"
echo "ok: Escape quits with 0"
