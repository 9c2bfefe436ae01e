#!/bin/sh
# Runs the sample build scripts as Tarnell's console runs them, with a line
# of input waiting that they must leave alone (the console waits, not they):
# without spasm they say in one screen what to get and where to put it; with a
# stand-in spasm that prints what spasm-ng prints, they judge the build by its
# error lines, its status and its program, which they take under its own name
# from a folder of the build's own and which replaces an earlier one only when
# the build succeeded; they build nothing from bad input.
#
#     tst_scripts.sh SCRIPTS_DIR
set -eu
scripts=$(cd "$1" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# Only what the scripts may use besides the shell's builtins, and no spasm.
mkdir "$root/bin" "$root/work"
for tool in cat tr mktemp stdbuf tee sed grep mv rm; do
    ln -s "$(command -v "$tool")" "$root/bin/$tool"
done

# run SCRIPT ARG...: runs it in $root/work with the line "ENTER" on its
# input; sets $status, $said (its output), $complained (what it wrote to
# stderr) and $left (the input it left).
run() {
    script=$1
    shift
    status=0
    {
        (cd "$root/work" && PATH=$root/bin /bin/sh "$scripts/$script" "$@") >"$root/said" 2>"$root/stderr" \
            || status=$?
        IFS= read -r left || left=
    } <<EOF
ENTER
EOF
    said=$(cat "$root/said")
    complained=$(cat "$root/stderr")
    said="$said${complained:+
$complained}"
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

# A stand-in spasm: records its arguments, one a line, takes a line of its
# input if it is given any, prints SPASM_SAYS (with printf's escapes), writes
# the program unless SPASM_WRITES is "no", and exits with SPASM_STATUS, or is
# killed when that is "kill". With SPASM_HANG set it says so and waits on that
# pipe, which no one writes to.
cat >"$root/bin/spasm" <<'EOF'
#!/bin/sh
printf '%s\n' "$@" >"$0.args"
read -r _ || :
if [ -n "${SPASM_HANG-}" ]; then echo "spasm is waiting as $$"; : <"$SPASM_HANG"; fi
printf 'Pass one... \n%b' "${SPASM_SAYS-}"
[ "${SPASM_WRITES-}" = no ] || printf 'program' >"$2"
[ "${SPASM_STATUS-}" != kill ] || kill -9 $$
exit "${SPASM_STATUS:-0}"
EOF
chmod +x "$root/bin/spasm"
export SPASM_SAYS SPASM_WRITES SPASM_STATUS

# built SOURCE PROGRAM: spasm was handed SOURCE and, in a folder of this
# build's own beside it, the program under its own name; that folder is gone.
built() {
    folder=$(dirname "$2")
    { IFS= read -r given; IFS= read -r made; } <"$root/bin/spasm.args"
    [ "$given" = "$1" ] || fail "$script '$typed' gave spasm $given"
    case $made in
        "$folder/.$(basename "$2" .8xp).tarnell-build-"*/"$(basename "$2")") ;;
        *) fail "$script '$typed' had spasm make $made, not $(basename "$2") in a folder of its own" ;;
    esac
    [ ! -e "$root/work/$(dirname "$made")" ] || fail "$script '$typed' left $(dirname "$made")"
}

# What spasm-ng prints: an error with a code, one from a macro's file after
# which it exits 0, one with no line, one without a code (its prefix coloured
# apart), the same without colours (-N), and a warning.
esc='\033[1;31m' warn='\033[1;33m' off='\033[0m' ansi="$(printf '\033')\[[0-9;]*m"
coded="${esc}hello.z80:16: error SE113: Unknown opcode 'ldx'\n$off"
label="${esc}/usr/include/ti83plus.inc:7: error SE106: Could not find label or macro '_ClrLCDFul'\n$off"
noline="${esc}exporter: error SE002: Could not access the file 'PROGRAM.8xp'\n$off"
bare="${esc}hello.z80:3: error: $off${esc}#INCLUDE is missing file name\n$off"
plain="hello.z80:3: error: #INCLUDE is missing file name\n"
warning="${warn}hello.z80:3: warning: $off${warn}Suggest remove extra parentheses around argument\n$off"

# The program, in a folder whose name the shell would split and expand.
typed='a *?[b]/hello'
program="$typed.8xp"
mkdir "$root/work/${typed%/*}"
: >"$root/work/$typed.z80"
# spasm's status | writes the program | prints | the script's status | its last line
not="$program was not built: the assembler reported"
cat >"$root/table" <<EOF
0|yes|Pass two... \n$off|0|Built $root/work/$program
1|yes|$warning$warning|0|Built $root/work/$program
0|yes|$label|1|$not 1 error and exited with status 0.
0|yes|$bare$coded$noline|1|$not 3 errors and exited with status 0.
1|yes|$warning$plain|1|$not 1 error and exited with status 1.
2|yes|$warning|2|$not no errors and exited with status 2.
3|no|$coded$coded$coded|3|$not 3 errors and exited with status 3.
0|no||1|$not no errors and exited with status 0, yet wrote no program.
1|no|$warning|1|$not no errors and exited with status 1, yet wrote no program.
kill|yes||137|$not no errors and was stopped by signal 9.
EOF
for script in asm.bat mirage.bat tse.bat; do
    while IFS='|' read -r SPASM_STATUS SPASM_WRITES SPASM_SAYS expected last; do
        for old in "" earlier; do
            rm -f "$root/work/$program"
            [ -z "$old" ] || echo "$old" >"$root/work/$program"
            run "$script" "$typed"
            row="$script with spasm '$SPASM_STATUS $SPASM_WRITES $SPASM_SAYS'${old:+ and an old program}"
            [ "$status" -eq "$expected" ] && [ -z "$complained" ] || fail "$row: status $status: $said"
            [ "$(printf '%s\n' "$said" | tail -n "$((expected ? 1 : 2))" | head -n 1 | sed "s/$ansi//g")" = "$last" ] \
                || fail "$row: the line '$last' is not at the end of: $said"
            built "$typed.z80" "$program"
            if [ "$expected" -eq 0 ]; then
                [ "$(cat "$root/work/$program")" = program ] || fail "$row: the program was not put in place"
            else
                [ ! -e "$root/work/$program" ] || fail "$row: a $program is left: $said"
                [ -z "$old" ] || says "Removed $program of an earlier build."
            fi
        done
    done <"$root/table"
done
SPASM_STATUS=0 SPASM_WRITES=yes SPASM_SAYS=

# file made (they stay), name typed, what spasm assembles, program file
while IFS='|' read -r made typed source program; do
    mkdir -p "$(dirname "$root/work/$made")"
    : >"$root/work/$made"
    for script in asm.bat mirage.bat tse.bat; do
        rm -f "$root/work/$program"
        run "$script" "$typed"
        [ "$status" -eq 0 ] && [ -z "$complained" ] || fail "$script '$typed': status $status: $said"
        built "$source" "$program"
        [ -f "$root/work/$program" ] || fail "no $program"
        says "Built $root/work/${program#./}"
    done
done <<'EOF'
hello.z80|hello|hello.z80|hello.8xp
saved.asm|saved|saved.asm|saved.8xp
saved|saved|saved.asm|saved.8xp
saved.z80|saved|saved.z80|saved.8xp
bare|bare|bare|bare.8xp
my dir/p.asm|my dir/p.asm|my dir/p.asm|my dir/p.8xp
v1.2/p.asm|v1.2/p.asm|v1.2/p.asm|v1.2/p.8xp
$(touch pwned)/p.z80|$(touch pwned)/p|$(touch pwned)/p.z80|$(touch pwned)/p.8xp
 *?[a]/p.z80| *?[a]/p| *?[a]/p.z80| *?[a]/p.8xp
-x/p.z80|-x/p|./-x/p.z80|./-x/p.8xp
EOF
[ ! -e "$root/work/pwned" ] || fail "a script ran a typed word as a command"

# The console sends HUP when it is closed, and Ctrl-C an INT (which a
# background job ignores unless told otherwise): the build's folder goes all
# the same.
mkfifo "$root/never" "$root/output"
script=asm.bat
for signal in HUP INT TERM; do
    (cd "$root/work" && SPASM_HANG=$root/never PATH=$root/bin exec /usr/bin/env --default-signal=INT \
        /bin/sh "$scripts/asm.bat" hello) \
        <"$root/work/hello.z80" >"$root/output" 2>&1 &
    pid=$!
    exec 3<"$root/output"
    spasm=
    while [ -z "$spasm" ] && IFS= read -r line <&3; do
        case $line in "spasm is waiting as "*) spasm=${line##* } ;; esac
    done
    [ -n "$spasm" ] || fail "asm.bat ended before spasm ran"
    kill -s "$signal" "$pid" "$spasm"
    status=0
    wait "$pid" || status=$?
    exec 3<&-
    [ "$status" -gt 128 ] || fail "asm.bat went on after $signal: status $status"
    typed="hello, sent $signal" built hello.z80 hello.8xp
done

(cd "$root/work" && : >my_prog.z80 && : >9lives.z80 && : >ninechars.z80)
for script in asm.bat mirage.bat tse.bat; do
    # name typed, status, what the script says; with a status, spasm never runs
    # and leaves no program
    while IFS='|' read -r typed expected text; do
        rm -f "$root/bin/spasm.args"
        run "$script" "$typed"
        [ "$status" -eq "$expected" ] || fail "$script '$typed': status $status: $said"
        [ "$status" -eq 0 ] || [ ! -e "$root/bin/spasm.args" ] || fail "$script '$typed' ran spasm"
        [ "$status" -eq 0 ] || [ ! -e "$root/work/$typed.8xp" ] || fail "$script '$typed' left a program"
        says "$text"
    done <<'EOF'
my_prog|2|"my_prog" cannot name a calculator program: nothing was built.
9lives|2|at most 8 capital letters
ninechars|0|the program will show as NINECHAR.
missing|1|Source file not found: missing.z80, missing.asm or missing
/proc/version|1|No folder for the build could be made in /proc: nothing was built.
EOF
done

echo "the sample scripts explain, judge a build by what the assembler says, and leave the waiting to the console"
