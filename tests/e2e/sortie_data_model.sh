# sortie-data model on good, cut and empty 3DS files: a good file gives one
# JSON line and exit 0; a file that does not load gives one line naming it
# on standard error and exit 1.
source "$(dirname "$0")/../support/e2e_lib.sh"
tool="$BUILD/sortie-data"
seeds="$SRC/tests/fuzz/seeds/load3ds_fuzz"

# Runs the tool on $1; sets RC, OUT_LINES, ERR_LINES, ERR.
run_model() {
  "$tool" model "$1" >"$scratch/out" 2>"$scratch/err"
  RC=$?
  OUT_LINES=$(wc -l <"$scratch/out")
  ERR_LINES=$(wc -l <"$scratch/err")
  ERR=$(cat "$scratch/err")
}

for f in "$seeds"/*.3ds; do
  run_model "$f"
  [ "$RC" = 0 ] || fail "$f: exit $RC"
  [ "$OUT_LINES" = 1 ] && [ "$ERR_LINES" = 0 ] || fail "$f: $OUT_LINES lines out, $ERR_LINES err"
  grep -q '^{"vertices":[0-9]*,"faces":[0-9]*,"radius":.*,"bbox":\[.*\],"materials":\[{"name":' "$scratch/out" ||
    fail "$f: not the model line: $(cat "$scratch/out")"
done
grep -q '"texture":"glass.bmp"' <("$tool" model "$seeds/two_materials.3ds") || fail "texture name missing"
grep -q '"two_sided":true' <("$tool" model "$seeds/two_materials.3ds") || fail "two-sided flag missing"

# Every cut of a good file: exit 0 with one line out, or exit 1 with one
# line err, never anything else (damaged bytes are the fuzz run's business).
good="$seeds/two_materials.3ds"
size=$(stat -c %s "$good")
for n in $(seq 0 7 "$size"); do
  head -c "$n" "$good" >"$scratch/cut.3ds"
  run_model "$scratch/cut.3ds"
  case "$RC" in
    0) [ "$OUT_LINES" = 1 ] || fail "cut at $n: $OUT_LINES lines" ;;
    1) [ "$ERR_LINES" = 1 ] || fail "cut at $n: $ERR_LINES error lines" ;;
    *) fail "cut at $n: exit $RC" ;;
  esac
done

# Nothing at all and a missing file.
: >"$scratch/empty.3ds"
run_model "$scratch/empty.3ds"
[ "$RC" = 1 ] && [ "$ERR" = "$scratch/empty.3ds: No main chunk." ] || fail "empty file: $RC '$ERR'"
run_model "$scratch/none.3ds"
[ "$RC" = 1 ] && [ "$ERR" = "$scratch/none.3ds: File not found." ] || fail "missing file: $RC '$ERR'"
"$tool" model >/dev/null 2>&1
[ $? = 2 ] || fail "usage error is not exit 2"
echo "sortie-data model: ok"
