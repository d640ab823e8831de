# cmake --install into a temporary prefix: the files land where a desktop
# and man look for them, the desktop entry and manual pages are clean, and
# the installed launcher starts the game from another folder.
source "$(dirname "$0")/../support/e2e_lib.sh"
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT

cmake --install "$BUILD" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for f in bin/sortie bin/sortie-data libexec/sortie/sortie share/sortie/data/victim.vcd \
         share/applications/sortie.desktop share/icons/hicolor/64x64/apps/sortie.png \
         share/man/man6/sortie.6 share/man/man1/sortie-data.1; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/sortie" ] || fail "the launcher is not executable"
[ ! -e "$prefix/share/sortie/data/icons" ] || fail "the icon went into the game's data as well"
size=$(identify -format "%wx%h %[channels]" "$prefix/share/icons/hicolor/64x64/apps/sortie.png")
[ "${size%% *}" = "64x64" ] || fail "the icon is $size"
echo "ok: game, launcher, data, desktop entry, icon ($size) and manual pages installed"

desktop-file-validate "$prefix/share/applications/sortie.desktop" || fail "the desktop entry does not validate"
grep -q "^Exec=sortie -w$" "$prefix/share/applications/sortie.desktop" || fail "the desktop entry does not start it windowed"
echo "ok: desktop-file-validate passes"

for page in man6/sortie.6 man1/sortie-data.1; do
  err=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" 2>&1 >/dev/null)
  [ $? = 0 ] && [ -z "$err" ] || fail "man -l $page: $err"
done
MANWIDTH=80 man -l "$prefix/share/man/man6/sortie.6" 2>/dev/null | grep -q "sortie-data(1)" ||
  fail "sortie(6) does not name the data tool"
echo "ok: both manual pages render without warnings"

# The data tool reads the installed data.
"$prefix/bin/sortie-data" check "$prefix/share/sortie/data" >/dev/null || fail "sortie-data check of the installed data"

# The launcher on the PATH, from a folder without data.
cd "$elsewhere"
GAME_OUT=$(mktemp)
PATH="$prefix/bin:$PATH" sortie -w >"$GAME_OUT" 2>&1 &
GAME_PID=$!
w=$(game_window) || fail "the installed game opened no window"
fly_first_vessel "$w" || fail "no flight after the selection screen"
kill -0 "$GAME_PID" 2>/dev/null || fail "the installed game died"
grep -q "could not be loaded\|Cannot start" "$GAME_OUT" && fail "the installed game misses its data"
quit_with_escape "$w" 3
echo "ok: the installed launcher starts the game from another folder; Escape quits with 0"
