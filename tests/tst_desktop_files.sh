#!/bin/sh
# Installs into a temporary DESTDIR and checks what the desktop reads: the menu
# entry and the AppStream metadata pass their validators, the entry, the icons
# and the program use one name, and the MIME type the entry opens is defined.
#
#     tst_desktop_files.sh CMAKE BUILD_DIR VERSION
set -eu
cmake=$1 build=$2 version=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/dest" "$cmake" --install "$build" --prefix /usr >"$root/install.log" \
    || { cat "$root/install.log" >&2; fail "cmake --install failed"; }
share=$root/dest/usr/share

desktop=$share/applications/tarnell.desktop
[ -f "$desktop" ] || fail "no $desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"

set -- "$share"/metainfo/*.metainfo.xml
if [ $# -ne 1 ] || [ ! -f "$1" ]; then fail "expected one metainfo file, found: $*"; fi
metainfo=$1
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
appstreamcli validate-tree --no-net "$root/dest/usr" || fail "appstreamcli rejects the installed tree"
grep -q '<launchable type="desktop-id">tarnell.desktop</launchable>' "$metainfo" \
    || fail "the metainfo does not launch tarnell.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q '<mediatype>text/x-z80</mediatype>' "$metainfo" || fail "the metainfo does not name text/x-z80"

# The program calls itself "tarnell" (application name, desktop file name, so the
# X11 class and Wayland app id): the entry, its icon and its window class agree.
# The entry runs the launcher that starts it in ~/Tarnell, with the file that a
# file manager opens with it: a *.z80 file or any text.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "tarnell-desktop %f" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry MimeType)" = "text/x-z80;text/plain;" ] || fail "MimeType is '$(entry MimeType)'"
[ "$(entry Icon)" = tarnell ] || fail "Icon is '$(entry Icon)'"
[ "$(entry StartupWMClass)" = tarnell ] || fail "StartupWMClass is '$(entry StartupWMClass)'"
[ "$(entry Terminal)" = false ] || fail "Terminal is '$(entry Terminal)'"
[ -x "$root/dest/usr/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"

# The package's MIME type, as the shared MIME database reads it: *.z80 (in any
# letter case) is text/x-z80, a kind of text/plain.
mime=$share/mime
[ "$(ls "$mime/packages")" = tarnell.xml ] || fail "the MIME packages are: $(ls "$mime/packages")"
update-mime-database "$mime" || fail "update-mime-database rejects $mime/packages/tarnell.xml"
grep -qx '50:text/x-z80:\*\.z80' "$mime/globs2" || fail "*.z80 is not text/x-z80: $(cat "$mime/globs2")"
grep -qx 'text/x-z80 text/plain' "$mime/subclasses" || fail "text/x-z80 is no text/plain: $(cat "$mime/subclasses")"

for size in 16 32 48 64 128; do
    png=$share/icons/hicolor/${size}x${size}/apps/tarnell.png
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done
svg=$share/icons/hicolor/scalable/apps/tarnell.svg
file "$svg" | grep -q 'SVG' || fail "$svg: $(file -b "$svg")"
grep -q 'viewBox="0 0 32 32"' "$svg" || fail "$svg is not drawn from the 32 px artwork"

man=$share/man/man1/tarnell.1.gz
gzip -t "$man" || fail "$man is not gzipped"
gzip -dc "$man" | grep -q "^\.TH TARNELL 1 .*\"Tarnell $version\"" || fail "$man does not show version $version"

echo "desktop entry, metainfo, icons and man page are valid and agree"
