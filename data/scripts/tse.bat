#!/bin/sh
# tse.bat - assemble a TSE program for the TI-83 Plus with spasm (spasm-ng).
# Usage: tse.bat NAME   builds NAME.z80 (or NAME as given, if it has an
# extension) into NAME.8xp beside it. Extra arguments are ignored.
# Tarnell's console shows the exit status and waits for Enter; this does not.

name="${1-}"
if [ -z "$name" ]; then
    echo "Usage: tse.bat NAME"
    echo "Assembles NAME.z80 (a TSE program) into NAME.8xp."
    exit 2
fi

case "${name##*/}" in
    *.*) src="$name"; out="${name%.*}.8xp" ;;
    *)   src="$name.z80"; out="$name.8xp" ;;
esac
# Keep a name that starts with "-" from being read as an option.
case "$src" in -*) src="./$src"; out="./$out" ;; esac

if ! command -v spasm >/dev/null 2>&1; then
    cat <<'MSG'
The assembler, spasm, is not on PATH: nothing was built.

These scripts use spasm-ng, which Debian does not package. To build it
from its source (https://github.com/alberthdev/spasm-ng):
  sudo apt-get install git make g++ libssl-dev libgmp-dev zlib1g-dev
  git clone https://github.com/alberthdev/spasm-ng.git
  cd spasm-ng && make
  sudo install -m 755 spasm /usr/local/bin/spasm

The source also needs the include file its header names, beside it:
tse.inc from the TSE developer kit.
MSG
    exit 127
fi

if [ ! -f "$src" ]; then
    printf 'Source file not found: %s\n' "$src"
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
