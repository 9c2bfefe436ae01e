#!/bin/sh
# Installs into a temporary DESTDIR, starts the installed program offscreen from
# an empty working directory, and checks that its templates and build scripts
# are in the folder that its missing-template message names.
#
#     tst_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -eu
cmake=$1 build=$2 source=$3 version=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/dest" "$cmake" --install "$build" --prefix /usr >"$root/install.log" \
    || { cat "$root/install.log" >&2; fail "cmake --install failed"; }
bin=$root/dest/usr/bin/tarnell
[ -x "$bin" ] || fail "no executable at $bin"

# The program takes no arguments and runs until it is closed: still running when
# timeout stops it (status 124) means it started; any other status means it
# ended or crashed on its own.
mkdir "$root/empty"
status=0
(cd "$root/empty" && QT_QPA_PLATFORM=offscreen timeout 3 "$bin" >"$root/run.log" 2>&1) || status=$?
if [ "$status" -ne 124 ]; then
    cat "$root/run.log" >&2
    fail "the installed tarnell ended with status $status instead of running"
fi
[ -z "$(ls -A "$root/empty")" ] || fail "tarnell wrote into its working directory: $(ls -A "$root/empty")"

# Form1::dataFolder(): ../share/tarnell beside the binary's folder.
data=$(cd "$(dirname "$bin")/../share/tarnell" && pwd -P) || fail "no ../share/tarnell beside $bin"
[ "$data" = "$(cd "$root/dest/usr/share/tarnell" && pwd -P)" ] || fail "data folder is $data"
for name in ion.txt mirage.txt tse.txt ti83plus.txt; do
    cmp -s "$data/$name" "$source/data/templates/$name" || fail "$data/$name is missing or differs"
    [ ! -x "$data/$name" ] || fail "$data/$name is executable"
done
for name in asm.bat mirage.bat tse.bat; do
    cmp -s "$data/$name" "$source/data/scripts/$name" || fail "$data/$name is missing or differs"
    [ -x "$data/$name" ] || fail "$data/$name is not executable"
done

# The Help window shows the project's version (the text is UTF-16 in the binary).
# shellcheck disable=SC2016 # sed's own $ and backslashes
pattern=$(printf 'Tarnell Version %s' "$version" | sed 's/[].[\*^$()+?{}|\\]/\\&/g; s/\(\\\{0,1\}.\)/\1\\x00/g')
LC_ALL=C grep -qaP "$pattern" "$bin" || fail "the program does not show \"Tarnell Version $version\""

echo "installed tarnell starts, and finds its data in $data"
