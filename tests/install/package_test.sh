#!/usr/bin/env bash
# Builds the Debian package with cpack from the already built tree and checks its control
# fields and its file list with dpkg-deb.
# Usage: package_test.sh CPACK BUILD_DIR VERSION
set -u
cpack=$1 build=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
"$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = terrain-editor ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for package in libqt6widgets6 libqt6gui6 libqt6core6 libpng16-16 libstdc++6 libc6 qt6-qpa-plugins; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

# The same files as an install into /usr, and nothing else.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
tiles=$(find "$build/sample/Textures" -name '*.BMP' -printf './usr/share/terrain-editor/sample/Textures/%f\n')
[ -n "$tiles" ] || fail "the build has no sample tiles"
expected=$(LC_ALL=C sort <<EOF
./usr/bin/terrain-batch
./usr/bin/terrain-editor
./usr/share/applications/terrain-editor.desktop
./usr/share/icons/hicolor/256x256/apps/terrain-editor.png
./usr/share/icons/hicolor/48x48/apps/terrain-editor.png
./usr/share/icons/hicolor/scalable/apps/terrain-editor.svg
./usr/share/mime/packages/terrain-editor.xml
$tiles
EOF
)
[ "$files" = "$expected" ] || fail "package files differ: $(diff <(echo "$expected") <(echo "$files"))"
echo "PASS: $(basename "$deb"): files and dependencies ($depends)"
