#!/bin/sh
# tse.bat - assemble a TSE program for the TI-83 Plus with spasm.
# Usage: tse.bat NAME    builds NAME.z80 (or NAME as given, if it has an
# extension) into NAME.8xp beside it. Extra arguments are ignored.

wait_for_enter() {
    printf '\nPress Enter to close this window.\n'
    read -r _ || true
}

name=${1-}
if [ -z "$name" ]; then
    echo "Usage: tse.bat NAME"
    echo "Assembles NAME.z80 (a TSE program) into NAME.8xp."
    wait_for_enter
    exit 2
fi

case ${name##*/} in
    *.*) src=$name; out=${name%.*}.8xp ;;
    *)   src=$name.z80; out=$name.8xp ;;
esac
# Keep a name that starts with "-" from being read as an option.
case $src in -*) src=./$src; out=./$out ;; esac

if ! command -v spasm >/dev/null 2>&1; then
    cat <<'MSG'
The spasm assembler was not found, so nothing was built.

To build TI-83 Plus programs, install:
  - spasm (spasm-ng), the TASM-compatible Z80 assembler, and make
    sure the "spasm" command is on your PATH;
  - the include file tse.inc (and ti83plus.inc if your kit uses
    it), from the TSE developer kit.
Put the include file(s) in the working folder, beside your .z80 sources.
MSG
    wait_for_enter
    exit 127
fi

if [ ! -f "$src" ]; then
    printf 'Source file not found: %s\n' "$src"
    wait_for_enter
    exit 1
fi

printf 'Assembling %s into %s\n' "$src" "$out"
spasm "$src" "$out"
status=$?
# Tarnell's console shows the exit status and waits for a key before it closes.
exit "$status"
