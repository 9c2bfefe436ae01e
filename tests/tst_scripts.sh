#!/bin/sh
# Runs the sample build scripts as Tarnell's console runs them, with a line
# of input waiting that they must leave alone (the console waits, not they):
# without spasm they say in one screen what to get and where to put it; with a
# stand-in spasm they find the source, hand it over and say where the program
# is, and they build nothing under a name the calculator cannot take.
#
#     tst_scripts.sh SCRIPTS_DIR
set -eu
scripts=$(cd "$1" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# Only what the scripts may use besides the shell's builtins, and no spasm.
mkdir "$root/bin" "$root/work"
ln -s "$(command -v cat)" "$root/bin/cat"
ln -s "$(command -v tr)" "$root/bin/tr"

# run SCRIPT ARG...: runs it in $root/work with the line "ENTER" on its
# input; sets $status, $said (its output) and $left (the input it left).
run() {
    script=$1
    shift
    status=0
    {
        (cd "$root/work" && PATH=$root/bin /bin/sh "$scripts/$script" "$@") >"$root/said" 2>&1 || status=$?
        IFS= read -r left || left=
    } <<EOF
ENTER
EOF
    said=$(cat "$root/said")
    [ "$left" = ENTER ] || fail "$script $* read from its input: the console's wait would come second"
}

says() { case $said in *"$1"*) ;; *) fail "$script: '$1' not in: $said" ;; esac; }

for script in asm.bat mirage.bat tse.bat; do
    run "$script"
    [ "$status" -eq 2 ] || fail "$script with no name: status $status"
    says "Usage: $script NAME"

    run "$script" hello
    [ "$status" -eq 127 ] || fail "$script without spasm: status $status"
    says "spasm-ng, which Debian does not package"
    says "sudo install -m 755 spasm /usr/local/bin/spasm"
    case $script in
        asm.bat) says ti83plus.inc; says ion.inc ;;
        mirage.bat) says ti83plus.inc; says mirage.inc ;;
        tse.bat) says tse.inc ;;
    esac
    # The console adds three lines; the window's 24 must hold it all.
    [ "$(printf '%s\n' "$said" | wc -l)" -le 21 ] || fail "$script: the message is longer than a screen"
done

# A stand-in spasm that records its arguments, one a line, and writes the
# program (or fails, when SPASM_FAILS is set).
cat >"$root/bin/spasm" <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >"$0.args"
[ -z "${SPASM_FAILS-}" ] || exit 3
printf 'program' >"$2"
EOF
chmod +x "$root/bin/spasm"

# file made (they stay), name typed, what spasm assembles, program file
while IFS='|' read -r made typed source program; do
    mkdir -p "$(dirname "$root/work/$made")"
    : >"$root/work/$made"
    run mirage.bat "$typed"
    [ "$status" -eq 0 ] || fail "mirage.bat '$typed': status $status: $said"
    [ "$(cat "$root/bin/spasm.args")" = "$(printf '%s\n%s' "$source" "$program")" ] \
        || fail "mirage.bat '$typed' gave spasm: $(cat "$root/bin/spasm.args")"
    [ -f "$root/work/$program" ] || fail "no $program"
    says "Built $root/work/${program#./}"
done <<'EOF'
hello.z80|hello|hello.z80|hello.8xp
saved.asm|saved|saved.asm|saved.8xp
saved|saved|saved.asm|saved.8xp
saved.z80|saved|saved.z80|saved.8xp
bare|bare|bare|bare.8xp
my dir/p.asm|my dir/p.asm|my dir/p.asm|my dir/p.8xp
$(touch pwned)/p.z80|$(touch pwned)/p|$(touch pwned)/p.z80|$(touch pwned)/p.8xp
-x/p.z80|-x/p|./-x/p.z80|./-x/p.8xp
EOF
[ ! -e "$root/work/pwned" ] || fail "a script ran a typed word as a command"

: >"$root/work/bad.z80"
SPASM_FAILS=1
export SPASM_FAILS
run tse.bat bad
[ "$status" -eq 3 ] || fail "tse.bat with spasm failing: status $status"
says "bad.8xp was not built."
unset SPASM_FAILS

(cd "$root/work" && : >my_prog.z80 && : >9lives.z80 && : >verylongname.z80)
for script in asm.bat mirage.bat tse.bat; do
    # name typed, status, what the script says; with a status, spasm never runs
    while IFS='|' read -r typed expected text; do
        rm -f "$root/bin/spasm.args"
        run "$script" "$typed"
        [ "$status" -eq "$expected" ] || fail "$script '$typed': status $status: $said"
        [ "$status" -eq 0 ] || [ ! -e "$root/bin/spasm.args" ] || fail "$script '$typed' ran spasm"
        says "$text"
    done <<'EOF'
my_prog|2|"my_prog" cannot name a calculator program: nothing was built.
9lives|2|at most 8 capital letters
verylongname|0|the program will show as VERYLONG.
missing|1|Source file not found: missing.z80, missing.asm or missing
EOF
done

echo "the sample scripts explain, build, and leave the waiting to the console"
