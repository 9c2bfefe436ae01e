#!/bin/sh
# Builds each header template with its sample build script and the real
# assembler, spasm-ng, built from the source that sits beside the project: each
# must give a program file the TI-83 Plus takes, and a source with an undefined
# label (which spasm-ng reports and still exits 0 on) must leave no program,
# not even the one an earlier build left. Skips where that source is missing.
#
#     tst_spasm.sh DATA_DIR SPASM_SOURCE BUILD_DIR
set -eu
data=$(cd "$1" && pwd)
spasm_source=$2
spasm=$(cd "$3" && pwd)/spasm-ng
includes=$(cd "$(dirname "$0")/spasm-inc" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

if [ ! -d "$spasm_source" ]; then
    echo "SKIP: no spasm-ng source at $spasm_source (a clone without ../shared/third_party)"
    exit 77
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# The build is reused until the source differs from the one it came from;
# make alone would miss a changed header.
fingerprint=$(cd "$spasm_source" && find . -type f -exec cksum {} + | LC_ALL=C sort)
if [ ! -x "$spasm/spasm" ] || [ "$(cat "$spasm/.tarnell-source" 2>/dev/null)" != "$fingerprint" ]; then
    chmod -R u+w "$spasm" 2>/dev/null || : # what an interrupted copy left read-only
    rm -rf "$spasm"
    cp -R "$spasm_source" "$spasm"
    chmod -R u+w "$spasm" # the source may be read-only
    if ! (cd "$spasm" && make -j2 FORCE_NO_GIT=1) >"$root/make.log" 2>&1; then
        cat "$root/make.log"
        fail "spasm-ng did not build (scripts/install-deps installs what it needs)"
    fi
    printf '%s\n' "$fingerprint" >"$spasm/.tarnell-source"
fi
mkdir "$root/bin" "$root/work dir"
ln -s "$spasm/spasm" "$root/bin/spasm"
PATH=$root/bin:$PATH
work="$root/work dir"
cp "$includes"/*.inc "$work"

# run SCRIPT NAME: runs it in $work as Tarnell's console does; sets $status
# and $said (its output).
run() {
    status=0
    (cd "$work" && /bin/sh "$data/$1" "$2") </dev/null >"$root/said" 2>&1 || status=$?
    said=$(cat "$root/said")
}

# program_fault FILE NAME: says what keeps FILE from being the TI-83 Plus
# program NAME, and fails, if anything does. Offsets: 0 signature, 53 length of
# the data section (55 to the checksum), 55 variable header length, 57 data
# length, 59 type, 60 name, 68 version, 69 flag, 70 data length again,
# 72 the variable's data: its program length, then the program.
program_fault() {
    name=$(printf '%.8s' "$2" | tr '[:lower:]' '[:upper:]' | od -An -tu1)
    od -An -v -tu1 "$1" | awk -v name="$name" '
        function word(at) { return b[at] + 256 * b[at + 1] }
        function bad(what) { print what; exit 1 }
        { for (i = 1; i <= NF; i++) b[n++] = $i }
        END {
            if (n < 76) bad("only " n " bytes")
            split("42 42 84 73 56 51 70 42 26 10 0", signature) # **TI83F* 1A 0A 00
            for (i = 0; i < 11; i++) if (b[i] != signature[i + 1]) bad("no **TI83F* signature")
            if (word(53) != n - 57) bad("data section of " word(53) " bytes, the file holds " n - 57)
            if (word(55) != 13) bad("variable header of " word(55) " bytes, not 13")
            size = word(57)
            if (size != n - 74) bad("variable data of " size " bytes, the file holds " n - 74)
            if (b[59] != 5 && b[59] != 6) bad("variable type " b[59] ", not a program (5 or 6)")
            k = split(name, want)
            for (i = 0; i < 8; i++) {
                found = found " " b[60 + i]
                if (b[60 + i] != (i < k ? want[i + 1] : 0)) wrong = 1
            }
            if (wrong) bad("name bytes" found ", not" name " padded with 0 to 8")
            if (b[69] != 0 && b[69] != 128) bad("flag " b[69] ", neither 0 nor 128 (archived)")
            if (word(70) != size) bad("second data length " word(70) ", not " size)
            if (word(72) != size - 2) bad("program of " word(72) " bytes, not " size - 2)
            if (b[74] != 187 || b[75] != 109) bad("the program does not start with the AsmPrgm token BB 6D")
            for (i = 55; i < n - 2; i++) sum += b[i]
            if (word(n - 2) != sum % 65536) bad("checksum " word(n - 2) ", the data sums to " sum % 65536)
        }'
}

# template, script that builds it, name typed (the last one longer than a
# calculator name, which keeps its first 8 characters)
while IFS='|' read -r template script typed; do
    cp "$data/$template" "$root/good"
    # One letter off the routine named in each bcall: an undefined label.
    sed 's/bcall(\(_[A-Za-z]*\)[A-Za-z])/bcall(\1)/' "$root/good" >"$root/bad"
    if cmp -s "$root/good" "$root/bad"; then fail "$template calls no routine to misspell"; fi

    # The bad source before any build, the good one, and the bad one over
    # the program the good one left.
    for source in bad good bad; do
        cp "$root/$source" "$work/$typed.z80"
        run "$script" "$typed"
        case $source in
            good)
                [ "$status" -eq 0 ] || fail "$script $typed ($template): status $status: $said"
                [ -f "$work/$typed.8xp" ] || fail "$script $typed ($template) made no $typed.8xp: $said"
                fault=$(program_fault "$work/$typed.8xp" "$typed") || fail "$typed.8xp ($template): $fault"
                ;;
            bad)
                [ "$status" -ne 0 ] || fail "$script $typed with an undefined label: status 0: $said"
                case $said in
                    *"$typed.8xp was not built"*) ;;
                    *) fail "$script $typed with an undefined label did not say it built nothing: $said" ;;
                esac
                [ ! -e "$work/$typed.8xp" ] || fail "$script $typed with an undefined label left $typed.8xp"
                ;;
        esac
    done
done <<'EOF'
ti83plus.txt|asm.bat|hello
ion.txt|asm.bat|ionshell
mirage.txt|mirage.bat|mirage1
tse.txt|tse.bat|tsedemo12
EOF

echo "spasm-ng built the four templates with the sample scripts into valid TI-83 Plus programs," \
    "and a misspelt routine name into none, removing an earlier one"
