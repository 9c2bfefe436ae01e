#!/bin/sh
# Installs into a temporary DESTDIR, starts the installed program offscreen from
# an empty working directory, with a file to open and the way its menu entry
# does (and without a display for --help and --version), and checks that
# its templates and build scripts are in the folder that its missing-template
# message names, and that the menu entry starts it in ~/Tarnell with copies of
# them. Then the build's tst_launch starts the installed mirage.bat from another
# working folder.
#
#     tst_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -eu
cmake=$1 build=$2 source=$3 version=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir "$root/home"
export HOME="$root/home"
DESTDIR="$root/dest" "$cmake" --install "$build" --prefix /usr >"$root/install.log" \
    || { cat "$root/install.log" >&2; fail "cmake --install failed"; }
bin=$root/dest/usr/bin/tarnell
[ -x "$bin" ] || fail "no executable at $bin"

# start_in FOLDER [PROGRAM [ARGUMENT...]]: the program runs until it is closed:
# still running when timeout stops it (status 124) means it started; any other
# status means it ended or crashed on its own. It writes nothing where it starts.
start_in() {
    folder=$1
    shift
    [ $# -gt 0 ] || set -- "$bin"
    before=$(ls -A "$folder")
    status=0
    (cd "$folder" && QT_QPA_PLATFORM=offscreen timeout 3 "$@" >"$root/run.log" 2>&1) || status=$?
    if [ "$status" -ne 124 ]; then
        cat "$root/run.log" >&2
        fail "the installed tarnell ended with status $status instead of running in $folder"
    fi
    [ "$(ls -A "$folder")" = "$before" ] || fail "tarnell wrote into its working directory $folder"
}
mkdir "$root/empty"
start_in "$root/empty"

# Given a file, past Qt's options and "--", it reads it: the read leaves an
# access time, set back first, where the file system keeps one.
mkdir "$root/src dir"
source_file="$root/src dir/-a.z80"
echo " ld a,1" >"$source_file"
touch -a -d 2000-01-01 "$source_file" && cat "$source_file" >/dev/null
if [ "$(stat -c %X "$source_file")" -gt 946684800 ]; then
    touch -a -d 2000-01-01 "$source_file"
    start_in "$root/empty" "$bin" -style fusion -- "../src dir/-a.z80"
    [ "$(stat -c %X "$source_file")" -gt 946684800 ] || fail "tarnell did not read the file it was given"
fi

# --help and --version print and end without a display; an unknown option is
# an error, with status 2.
for option in --help --version -x; do
    status=0
    env -i PATH="$PATH" "$bin" "$option" >"$root/out" 2>"$root/err" || status=$?
    case $option in
        --help) [ $status -eq 0 ] && [ "$(head -n 1 "$root/out")" = "Usage: tarnell [--] [FILE]" ] && [ ! -s "$root/err" ] ;;
        --version) [ $status -eq 0 ] && [ "$(cat "$root/out")" = "tarnell $version" ] && [ ! -s "$root/err" ] ;;
        -x) [ $status -eq 2 ] && [ ! -s "$root/out" ] \
            && [ "$(cat "$root/err")" = "tarnell: unknown option -x; see tarnell --help" ] ;;
    esac || fail "tarnell $option without a display: status $status and: $(cat "$root/out" "$root/err")"
done

# With no display to open a window on (a text console, ssh, a closed ssh -X
# session) it says so in one line and ends with status 1 instead of Qt's core
# dump; QT_QPA_PLATFORM leaves the choice to Qt, which runs offscreen without one.
x=97
while [ -e "/tmp/.X11-unix/X$x" ]; do x=$((x + 1)); done
for case in none x wayland offscreen; do
    case $case in
        none) set --; said="no X display (DISPLAY) or Wayland session (WAYLAND_DISPLAY) is set" ;;
        x) set -- "DISPLAY=:$x"; said="the X display :$x (DISPLAY) cannot be reached" ;;
        wayland) set -- WAYLAND_DISPLAY=none "XDG_RUNTIME_DIR=$root";
            said="the Wayland display none (WAYLAND_DISPLAY) cannot be reached" ;;
        offscreen) set -- QT_QPA_PLATFORM=offscreen ;;
    esac
    status=0
    (cd "$root/empty" && env -i PATH="$PATH" "$@" timeout 3 "$bin" >"$root/run.log" 2>&1) || status=$?
    if [ $case = offscreen ]; then
        [ $status -eq 124 ] || fail "with QT_QPA_PLATFORM and no display, status $status: $(cat "$root/run.log")"
    else
        [ $status -eq 1 ] && [ "$(cat "$root/run.log")" = "tarnell: cannot open a window: $said" ] \
            || fail "with no display ($case), status $status and: $(cat "$root/run.log")"
    fi
done
# The menu entry runs a launcher that makes ~/Tarnell, never writable by group
# or others whatever the umask, copies the templates and scripts into it and
# starts tarnell there.
desktop=$root/dest/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$root/dest/usr/share/applications/tarnell.desktop")
(umask 000 && start_in "$root/empty" "$desktop")
folder=$HOME/Tarnell
[ -z "$(find "$folder" -perm /022)" ] || fail "group or others can write in $folder: $(ls -la "$folder")"

# Form1::dataFolder(): ../share/tarnell beside the binary's folder.
data=$(cd "$(dirname "$bin")/../share/tarnell" && pwd -P) || fail "no ../share/tarnell beside $bin"
[ "$data" = "$(cd "$root/dest/usr/share/tarnell" && pwd -P)" ] || fail "data folder is $data"
for name in ion.txt mirage.txt tse.txt ti83plus.txt; do
    cmp -s "$data/$name" "$source/data/templates/$name" || fail "$data/$name is missing or differs"
    [ ! -x "$data/$name" ] || fail "$data/$name is executable"
    cmp -s "$folder/$name" "$data/$name" || fail "$folder/$name is missing or differs"
done
for name in asm.bat mirage.bat tse.bat; do
    cmp -s "$data/$name" "$build/share/tarnell/$name" || fail "$data/$name is missing or differs"
    [ -x "$data/$name" ] && [ -x "$folder/$name" ] || fail "$name is not executable"
    cmp -s "$folder/$name" "$data/$name" || fail "$folder/$name is missing or differs"
done

# Every script shipped now is listed as shipped, so that the next version
# replaces unchanged copies of it.
for name in asm.bat mirage.bat tse.bat; do
    sum=$(sha256sum <"$data/$name")
    grep -qxF "${sum%% *}  $name" "$data/shipped-samples.sha256" \
        || fail "$name as built now is not in shipped-samples.sha256: add '${sum%% *}  $name'"
done

# Started again, it copies in only what is missing: a file the user changed
# stays, and a link left in place of a missing one is not followed. A script
# that an earlier version shipped and the user never changed is replaced, with
# its mode (over a new copy an update cut short left); a changed one stays,
# with a word on where the new one is. Beside a stand-in tarnell, it says
# where it starts it, with which umask and arguments.
mkdir -p "$root/fake/bin" "$root/fake/share"
cp -R "$data" "$root/fake/share/tarnell"
echo "old mirage" >"$root/old"
echo "$(sha256sum <"$root/old" | cut -c1-64)  mirage.bat" >>"$root/fake/share/tarnell/shipped-samples.sha256"
cp "$desktop" "$root/fake/bin/"
cat >"$root/fake/bin/tarnell" <<'EOF'
#!/bin/sh
echo "$PWD $(umask)" >"$HOME/started"
for argument do printf '[%s]' "$argument"; done >"$HOME/arguments"
EOF
chmod +x "$root/fake/bin/tarnell"
echo mine >"$folder/mirage.txt"
cp "$root/old" "$folder/mirage.bat" && chmod 700 "$folder/mirage.bat"
echo "cut short" >"$folder/.mirage.bat.tarnell-new"
cp "$root/old" "$folder/asm.bat"
rm "$folder/tse.bat"
ln -s "$root/planted" "$folder/tse.bat"
(umask 002 && "$root/fake/bin/$(basename "$desktop")" 2>"$root/said")
[ "$(cat "$HOME/started")" = "$folder 0002" ] || fail "the launcher started tarnell as: $(cat "$HOME/started")"
[ ! -s "$HOME/arguments" ] || fail "the launcher gave tarnell arguments: $(cat "$HOME/arguments")"
[ "$(cat "$folder/mirage.txt")" = mine ] || fail "the launcher replaced a changed template"
cmp -s "$folder/mirage.bat" "$data/mirage.bat" || fail "the launcher kept a copy of an earlier shipped script"
[ "$(stat -c %a "$folder/mirage.bat")" = 700 ] || fail "the updated mirage.bat lost its mode"
cmp -s "$folder/asm.bat" "$root/old" || fail "the launcher replaced a script the user changed"
[ "$(cat "$root/said")" = "tarnell-desktop: a newer sample asm.bat is in $root/fake/share/tarnell; yours in $folder is kept" ] \
    || fail "the launcher said: $(cat "$root/said")"
[ -z "$(find "$folder" -name '.*tarnell-new')" ] || fail "the launcher left a new copy behind"
[ ! -e "$root/planted" ] || fail "the launcher wrote through a link"

# The file a file manager opens (the entry's %f) reaches tarnell whole, made so
# against the folder the launcher was started in, after "--" (a "--" given
# before them is taken as such).
for dashes in "" --; do
    (cd "$root/src dir" && "$root/fake/bin/$(basename "$desktop")" ${dashes:+--} -a.z80 "$source_file") \
        2>/dev/null
    [ "$(cat "$HOME/arguments")" = "[--][$source_file][$source_file]" ] \
        || fail "the launcher${dashes:+, given --,} gave tarnell: $(cat "$HOME/arguments")"
done

# Two launches at once into a new folder: the one whose mkdir loses (a stand-in
# that makes the folder and then fails) starts there all the same, saying
# nothing. A folder others can write to or another user's (when we can make
# one), or a file, is not started in; a link to a folder of ours is.
mkdir "$root/race"
printf '#!/bin/sh\n/bin/mkdir "$@"; echo "mkdir: File exists" >&2; exit 1\n' >"$root/race/mkdir"
chmod +x "$root/race/mkdir"
for case in new open file other link; do
    rm -rf "$root/fresh" "$HOME/started"
    [ $case != open ] || mkdir -m 777 "$root/fresh"
    [ $case != file ] || : >"$root/fresh"
    [ $case != other ] || { mkdir "$root/fresh" && chown 65534 "$root/fresh" 2>/dev/null; } || continue
    [ $case != link ] || { mkdir -p "$root/linked" && ln -s linked "$root/fresh"; }
    PATH=$root/race:$PATH TARNELL_FOLDER=$root/fresh "$root/fake/bin/$(basename "$desktop")" 2>"$root/said"
    case $case in
        new | link) expected="$root/fresh" said= ;;
        open) expected=$PWD said="others can write to $root/fresh" ;;
        file) expected=$PWD said="there is no folder $root/fresh" ;;
        other) expected=$PWD said="$root/fresh belongs to another user" ;;
    esac
    [ "$(cat "$HOME/started")" = "$expected $(umask)" ] || fail "$case folder: started as $(cat "$HOME/started")"
    [ "$(cat "$root/said")" = "${said:+tarnell-desktop: not starting in $root/fresh ($said); starting in $PWD}" ] \
        || fail "$case folder: the launcher said: $(cat "$root/said")"
done

# Killed half-way through a copy (by a stand-in cat that writes a part), the
# launcher leaves nothing under the name; the next start makes it whole.
mkdir "$root/killer"
printf '#!/bin/sh\nhead -c 9 "$1"; kill -9 $PPID\n' >"$root/killer/cat"
chmod +x "$root/killer/cat"
(PATH=$root/killer:$PATH TARNELL_FOLDER=$root/killed "$root/fake/bin/$(basename "$desktop")") 2>/dev/null || :
[ ! -e "$root/killed/ion.txt" ] || fail "a copy killed half-way was left as ion.txt"
TARNELL_FOLDER=$root/killed "$root/fake/bin/$(basename "$desktop")"
cmp -s "$root/killed/ion.txt" "$data/ion.txt" || fail "a copy killed half-way was not made again"

# A copy cut short (here, by a template missing from the data folder) is
# removed, to be made again on the next start, and said so.
rm "$root/fake/share/tarnell/ion.txt" "$folder/ion.txt"
"$root/fake/bin/$(basename "$desktop")" 2>"$root/said"
[ ! -e "$folder/ion.txt" ] && grep -qxF "tarnell-desktop: ion.txt could not be copied into $folder" "$root/said" \
    || fail "a copy cut short: $(ls -A "$folder"; cat "$root/said")"

# From another working folder, Compile for Mirage OS reaches the installed
# mirage.bat, which says that spasm is missing before the console's own wait.
launch_test=$build/bin/tst_launch
[ -x "$launch_test" ] || fail "no $launch_test: build the tests first"
TARNELL_SHIPPED_SCRIPTS="$data" "$launch_test" "launch:shipped script" >"$root/launch.log" 2>&1 \
    || { cat "$root/launch.log" >&2; fail "tst_launch did not reach the installed mirage.bat"; }

# The Help window shows the project's version (the text is UTF-16 in the binary).
# shellcheck disable=SC2016 # sed's own $ and backslashes
pattern=$(printf 'Tarnell Version %s' "$version" | sed 's/[].[\*^$()+?{}|\\]/\\&/g; s/\(\\\{0,1\}.\)/\1\\x00/g')
LC_ALL=C grep -qaP "$pattern" "$bin" || fail "the program does not show \"Tarnell Version $version\""

echo "installed tarnell starts from its menu entry in ~/Tarnell, and its scripts start from elsewhere"
