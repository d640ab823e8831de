# From the pilot's seat with a target selected, the five cockpit panels show
# their screens (tinted by the screens' dark green); key 1 twice turns the
# first panel over to the message console. Set SORTIE_SHOTS=DIR to keep the
# screenshot and the crop of every panel.
source "$(dirname "$0")/../support/e2e_lib.sh"
shots=${SORTIE_SHOTS:-$scratch}
mkdir -p "$shots"

# Bounding boxes of the panels at 640 x 480 (W x H + X + Y): their eye-space
# corners through the game's 4:3 frustum (the upper two reach past the top).
panels=(218x155+6+315 200x164+220+308 219x155+416+315 116x107+6+0 116x107+518+0)

# The middle half of a panel, where no frame edge lies.
inner() {
  local w h x y
  IFS='x+' read -r w h x y <<<"$1"
  echo "$((w / 2))x$((h / 2))+$((x + w / 4))+$((y + h / 4))"
}
tinted() {
  local r g b
  read -r r g b <<<"$(mean_colour "$1" "$(inner "$2")")"
  echo "$r $g $b"
  [ "$g" -gt $((r + 15)) ] && [ "$g" -gt $((b + 15)) ]
}

start_flying
sleep 2
send_keys "$w" F1
sleep 0.5
send_keys "$w" t
sleep 1.5
window_shot "$w" "$shots/cockpit.png"
for i in 0 1 2 3 4; do
  convert "$shots/cockpit.png" -crop "${panels[$i]}" +repage "$shots/panel$i.png"
  c=$(tinted "$shots/cockpit.png" "${panels[$i]}") || fail "panel $i is not lit ($c)"
  echo "ok: panel $i lit ($c)"
done

send_keys "$w" 1
sleep 0.3
send_keys "$w" 1
sleep 1
window_shot "$w" "$shots/console.png"
convert "$shots/console.png" -crop "${panels[0]}" +repage "$shots/panel0-console.png"
# Strong changes only (the scene behind the panels moves a little): the
# console's few green lines replace the slot list's white names, while the
# status screen on panel 2 stays much the same.
strong() { pixels_differing "$shots/cockpit.png" "$shots/console.png" "$1" 25%; }
n0=$(strong "${panels[0]}")
n2=$(strong "${panels[2]}")
[ "$n0" -gt $((3 * n2 + 300)) ] || fail "panel 0 hardly changed after 1, 1 ($n0 pixels; panel 2: $n2)"
echo "ok: panel 0 changed to the console ($n0 pixels; panel 2: $n2)"
c=$(tinted "$shots/console.png" "${panels[1]}") || fail "panel 1 went dark ($c)"

quit_with_escape "$w" 5
