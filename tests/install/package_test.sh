#!/usr/bin/env bash
# Builds the Debian package from the built tree with cpack and checks its control fields and its
# file list with dpkg-deb. Usage: package_test.sh CPACK BUILD_DIR VERSION
set -u
cpack=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" && exit 1; }
"$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/log" 2>&1 || fail "cpack: $(cat "$work/log")"
deb=$work/terrain-editor_${version}_$(dpkg --print-architecture).deb
[ "$(dpkg-deb -f "$deb" Package Version | xargs)" = "Package: terrain-editor Version: $version" ] ||
    fail "control fields: $(dpkg-deb -f "$deb" Package Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libpng16-16 libstdc++6 libc6; do
    tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -qxF "$package" || fail "Depends lacks $package: $depends"
done

# The same files as an install into /usr, and nothing else.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
expected=$({
    printf './usr/%s\n' bin/terrain-batch bin/terrain-editor share/applications/terrain-editor.desktop \
        share/icons/hicolor/{48x48,256x256}/apps/terrain-editor.png share/mime/packages/terrain-editor.xml \
        share/icons/hicolor/scalable/apps/terrain-editor.svg
    find "$build/sample/Textures" -name '*.BMP' -printf './usr/share/terrain-editor/sample/Textures/%f\n'
} | LC_ALL=C sort)
[ "$(wc -l <<<"$expected")" -gt 7 ] && [ "$files" = "$expected" ] ||
    fail "package files differ: $(diff <(echo "$expected") <(echo "$files"))"
echo "PASS: $(basename "$deb"): files and dependencies ($depends)"
