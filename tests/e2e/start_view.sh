# The real game starts, prints its progress lines and shows ground and sky.
set -u
BUILD=$1
source "$(dirname "$0")/../support/e2e_lib.sh"
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT

start_game -w
w=$(game_window) || fail "no window"
fly_first_vessel "$w" || fail "no flight after the selection screen"
sleep 2
grep -q "^Create background sphere - OK.$" "$GAME_OUT" || fail "no progress line"
grep -q "could not be loaded" "$GAME_OUT" && fail "a texture did not load"
window_shot "$w" "$shot"
# Mean colour of a strip of sky and of ground.
mean() { convert "$shot" -crop "$1" +repage -resize 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:; }
read -r sr sg sb <<<"$(mean 600x60+20+60)"
read -r gr gg gb <<<"$(mean 600x40+20+300)"
[ $((sr + sg + sb)) -gt 150 ] || fail "sky is dark ($sr $sg $sb)"
[ "$sb" -ge "$sr" ] || fail "sky is not blue-grey ($sr $sg $sb)"
[ "$gr" -gt "$gb" ] || fail "ground is not earth-coloured ($gr $gg $gb)"
echo "ok: sky ($sr $sg $sb) above ground ($gr $gg $gb)"
send_keys "$w" Escape
wait_exit 2
[ "$EXIT_CODE" = "0" ] || fail "exit code $EXIT_CODE"
