# sortie-data check: the shipped data is clean (no output, exit 0); a copy
# broken in a few places gives one FILE:LINE: message line per problem on
# standard output and exit 1; a directory that is not there is refused.
source "$(dirname "$0")/../support/e2e_lib.sh"
tool="$BUILD/sortie-data"

# From the repository root, the default directory is data/.
out=$(cd "$SRC" && "$tool" check) || fail "shipped data: exit $?: $out"
[ -z "$out" ] || fail "shipped data is not clean: $out"

cp -r "$SRC/data" "$scratch/data"
d="$scratch/data"
sed -i 's/^BSPEED = 500$/BSPEED = 900/' "$d/items/laser.sid"
sed -i 's/^MASS = 4200$/MASS = 42 kg/' "$d/hulls/kestrel.vhd"
echo "ITEM = 31, items/laser.sid" >>"$d/carrier.vcd"
rm "$d/sounds/rocket.wav"
"$tool" check "$d" >"$scratch/out" 2>"$scratch/err"
rc=$?
[ "$rc" = 1 ] || fail "broken data: exit $rc"
[ -s "$scratch/err" ] && fail "messages on standard error: $(cat "$scratch/err")"
expect() {
  grep -qF "$1" "$scratch/out" || fail "missing: $1
got:
$(cat "$scratch/out")"
}
laser_line=$(grep -n '^BSPEED' "$d/items/laser.sid" | cut -d: -f1)
mass_line=$(grep -n '^MASS' "$d/hulls/kestrel.vhd" | cut -d: -f1)
item_line=$(wc -l <"$d/carrier.vcd")
rocket_line=$(grep -n '^FIRESOUND' "$d/items/rocket_pod.sid" | cut -d: -f1)
expect "$d/items/laser.sid:$laser_line: BSPEED 900 is above 500: 500 is used"
expect "$d/hulls/kestrel.vhd:$mass_line: MASS: '42kg' is not a plain number: read as 42"
expect "$d/carrier.vcd:$item_line: ITEM for slot 31, which the hull does not have: ignored"
expect "$d/items/rocket_pod.sid:$rocket_line: sound '$d/sounds/rocket.wav' does not load"
[ "$(wc -l <"$scratch/out")" = 4 ] || fail "not four lines: $(cat "$scratch/out")"

"$tool" check "$scratch/nowhere" >"$scratch/out" && fail "a missing directory passed"
grep -q "nowhere:0: not a directory" "$scratch/out" || fail "missing directory: $(cat "$scratch/out")"
"$tool" check a b >/dev/null 2>&1
[ $? = 2 ] || fail "two directories accepted"
echo "ok: shipped data clean, four problems found in a broken copy"
