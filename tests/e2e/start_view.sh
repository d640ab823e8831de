# The real game starts, prints its progress lines and shows ground and sky,
# with the green frame-rate read-out and the screen size line centred near
# the top of the view. The screenshot is kept for a look.
source "$(dirname "$0")/../support/e2e_lib.sh"
shot="$BUILD/e2e_start_view.png"

start_flying
sleep 2  # the rate is first shown after a quarter of a second of frames
grep -q "^Create background sphere - OK.$" "$GAME_OUT" || fail "no progress line"
grep -q "could not be loaded" "$GAME_OUT" && fail "a texture did not load"
window_shot "$w" "$shot" || fail "no screenshot"
quit_with_escape "$w" 3

# Mean colour of a strip of sky and of ground.
read -r sr sg sb <<<"$(mean_colour "$shot" 600x60+20+60)"
read -r gr gg gb <<<"$(mean_colour "$shot" 600x40+20+300)"
[ $((sr + sg + sb)) -gt 150 ] || fail "sky is dark ($sr $sg $sb)"
[ "$sb" -ge "$sr" ] || fail "sky is not blue-grey ($sr $sg $sb)"
[ "$gr" -gt "$gb" ] || fail "ground is not earth-coloured ($gr $gg $gb)"
echo "ok: sky ($sr $sg $sb) above ground ($gr $gg $gb)"

# Strong green pixels of the top strip: "row count min_x max_x" per row.
rows=$(convert "$shot" -crop 640x60+0+0 txt:- | awk -F'[,:() ]+' '
  NR > 1 && $4 > 150 && $3 < 100 && $5 < 100 {
    n[$2]++
    if (!($2 in lo) || $1 < lo[$2]) lo[$2] = $1
    if ($1 > hi[$2]) hi[$2] = $1
  }
  END { for (r in n) print r, n[r], lo[r], hi[r] }' | sort -n)
[ -n "$rows" ] || fail "no green text at the top of the view"

# Two lines of text, each several rows high: the first (FPS) above row 27 of
# a 640 x 480 view, the second (640 x 480 x 32) below it.
band() { echo "$rows" | awk -v a="$1" -v b="$2" '$1 >= a && $1 <= b { s += $2 } END { print s + 0 }'; }
fps_px=$(band 14 26)
size_px=$(band 28 40)
[ "$fps_px" -ge 80 ] || fail "FPS line has only $fps_px green pixels"
[ "$size_px" -ge 80 ] || fail "screen size line has only $size_px green pixels"

# Both lines are centred on the view's middle column, and the size line
# (14 characters) is wider than "FPS: 0.0" or a short rate.
read -r lo hi <<<"$(echo "$rows" | awk '$1 >= 28 && $1 <= 40 { if (!l || $3 < l) l = $3; if ($4 > h) h = $4 } END { print l, h }')"
centre=$(( (lo + hi) / 2 ))
[ "$centre" -ge 314 ] && [ "$centre" -le 324 ] || fail "size line centred at $centre, not near 320"
[ $((hi - lo)) -ge 60 ] && [ $((hi - lo)) -le 100 ] || fail "size line is $((hi - lo)) pixels wide"
echo "ok: FPS line $fps_px px, size line $size_px px from $lo to $hi; screenshot $shot"
