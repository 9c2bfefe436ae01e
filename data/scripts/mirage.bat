#!/bin/sh
# mirage.bat - assemble a MirageOS program for the TI-83 Plus with spasm (spasm-ng).
# Usage: mirage.bat NAME   builds NAME.z80, else NAME.asm, else NAME itself (or
# NAME as given, if it has an extension) into NAME.8xp beside it. Extra
# arguments are ignored.
# Tarnell's console shows the exit status and waits for Enter; this does not.

name="${1-}"
if [ -z "$name" ]; then
    echo "Usage: mirage.bat NAME"
    echo "Assembles NAME.z80 (a MirageOS program) into NAME.8xp."
    exit 2
fi
# Keep a name that starts with "-" from being read as an option.
case "$name" in -*) name="./$name" ;; esac

# Tarnell saves a file under the name typed, adding no extension.
case "${name##*/}" in
    *.*) src="$name"; base="${name%.*}" ;;
    *)   src="$name.z80"; base="$name"
         if [ ! -f "$src" ] && [ -f "$name.asm" ]; then
             src="$name.asm"
         elif [ ! -f "$src" ] && [ -f "$name" ]; then
             src="$name"
         fi ;;
esac
out="$base.8xp"

# The calculator names the program after its file. spasm warns about any other
# name, fails, and still leaves a program behind; a long one it cuts short.
program="${base##*/}"
lower=abcdefghijklmnopqrstuvwxyz
upper=ABCDEFGHIJKLMNOPQRSTUVWXYZ
case "$program" in
    "" | [!$lower$upper]* | *[!${lower}${upper}0123456789]*)
        printf '"%s" cannot name a calculator program: nothing was built.\n' "${program:-$name}"
        echo "The calculator names a program after its file: at most 8 capital letters"
        echo "and digits, starting with a letter (spasm makes small letters capitals)."
        exit 2 ;;
esac
if [ "${#program}" -gt 8 ]; then
    shown=$(printf '%s' "${program%"${program#????????}"}" | tr "$lower" "$upper")
    printf 'A calculator name has at most 8 characters: the program will show as %s.\n' "$shown"
fi

if ! command -v spasm >/dev/null 2>&1; then
    cat <<'MSG'
The assembler, spasm, is not on PATH: nothing was built.

These scripts use spasm-ng, which Debian does not package. To build it
from its source (https://github.com/alberthdev/spasm-ng):
  sudo apt-get install git make g++ libssl-dev libgmp-dev zlib1g-dev
  git clone https://github.com/alberthdev/spasm-ng.git
  cd spasm-ng && make
  sudo install -m 755 spasm /usr/local/bin/spasm

The source also needs the include files its header names, beside it:
ti83plus.inc from TI's TI-83 Plus SDK (spasm-ng's source has it in its
inc folder) and mirage.inc from the MirageOS developer kit.
MSG
    exit 127
fi

if [ ! -f "$src" ]; then
    if [ "$src" = "$name" ]; then
        printf 'Source file not found: %s\n' "$src"
    else
        printf 'Source file not found: %s.z80, %s.asm or %s\n' "$name" "$name" "$name"
    fi
    exit 1
fi

printf 'Assembling %s into %s\n' "$src" "$out"
spasm "$src" "$out"
status=$?
if [ "$status" -eq 0 ] && [ ! -f "$out" ]; then
    status=1 # no error reported, and yet no program
fi
if [ "$status" -ne 0 ]; then
    printf '%s was not built.\n' "$out"
    exit "$status"
fi
case "$out" in
    /*) built="$out" ;;
    *)  built="$PWD/${out#./}" ;;
esac
printf 'Built %s\n' "$built"
echo "Send it to the calculator with TiLP (Debian package tilp2) or TI Connect."
