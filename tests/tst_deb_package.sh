#!/bin/sh
# Packs the built tree with cpack into a .deb (nothing is compiled), checks its
# control fields and contents, and runs lintian on it.
#
#     tst_deb_package.sh CPACK BUILD_DIR VERSION
set -eu
cpack=$1 build=$2 version=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
"$cpack" -G DEB -B "$root/out" --config "$build/CPackConfig.cmake" >"$root/cpack.log" 2>&1 \
    || { cat "$root/cpack.log" >&2; fail "cpack failed"; }
set -- "$root"/out/tarnell_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then fail "expected one .deb, found: $*"; fi
deb=$1

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarnell ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = devel ] || fail "Section is '$(field Section)'"
[ "$(field Recommends)" = "xterm | x-terminal-emulator" ] || fail "Recommends is '$(field Recommends)'"
# Computed by dpkg-shlibdeps from what the binary links. Debian 13 renamed some
# libraries with a t64 suffix (64-bit time_t), libqt6core6 among them.
depends=", $(field Depends)"
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqscintilla2-qt6-15 libstdc++6; do
    case $depends in
        *", $library (>= "* | *", ${library}t64 (>= "*) ;;
        *) fail "Depends lacks a versioned $library: $(field Depends)" ;;
    esac
done
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"

dpkg-deb -c "$deb" >"$root/contents"
for path in usr/bin/tarnell usr/bin/tarnell-desktop usr/share/applications/tarnell.desktop \
            usr/share/man/man1/tarnell.1.gz usr/share/mime/packages/tarnell.xml \
            usr/share/doc/tarnell/copyright usr/share/doc/tarnell/changelog.Debian.gz \
            usr/share/icons/hicolor/scalable/apps/tarnell.svg usr/share/tarnell/ion.txt \
            usr/share/tarnell/asm.bat; do
    grep -q " \./$path\$" "$root/contents" || fail "the package lacks /$path"
done
bad=$(awk '$1 !~ /^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x|lrwxrwxrwx)$/ || $2 != "root/root"' "$root/contents")
[ -z "$bad" ] || fail "unusual modes or owners: $bad"

dpkg-deb -x "$deb" "$root/tree"
for name in asm.bat mirage.bat tse.bat; do
    packed=$root/tree/usr/share/tarnell/$name
    cmp -s "$packed" "$build/share/tarnell/$name" && [ -x "$packed" ] || fail "the package's $name is not the build's"
done
file "$root/tree/usr/bin/tarnell" | grep -q ', stripped' || fail "the binary is not stripped"

# Fail on warnings too: what lintian still says is overridden with a reason.
lintian --fail-on error,warning "$deb" || fail "lintian objects to the package"
echo "$(basename "$deb") is well formed"
