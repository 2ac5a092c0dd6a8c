#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every installed file, then starts the
# installed editor offscreen with --smoke-test (it prints what it opened, or each dialog, and
# quits) on the sample folder, on a map file, with --sample, without tiles and on a bad argument.
# Usage: install_test.sh CMAKE BUILD_DIR VERSION
set -u
cmake=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" && exit 1; }
prefix=$work/usr sample=$work/usr/share/terrain-editor/sample icons=$work/usr/share/icons/hicolor
"$cmake" --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || fail "install: $(cat "$work/log")"

files=$(cd "$prefix" && find . -type f ! -path './share/terrain-editor/sample/Textures/*' | LC_ALL=C sort | xargs)
[ "$files" = "./bin/terrain-batch ./bin/terrain-editor ./share/applications/terrain-editor.desktop \
./share/icons/hicolor/256x256/apps/terrain-editor.png ./share/icons/hicolor/48x48/apps/terrain-editor.png \
./share/icons/hicolor/scalable/apps/terrain-editor.svg ./share/mime/packages/terrain-editor.xml" ] ||
    fail "installed files: $files"
tiles=$(find "$build/sample/Textures" -name '*.BMP' | wc -l)
pictures=$(identify -format '%m %w %h\n' "$sample"/Textures/* | sort | uniq -c | xargs)
[ "$tiles" -gt 0 ] && [ "$pictures" = "$tiles BMP3 128 128" ] || fail "sample tiles: $pictures"

desktop=$prefix/share/applications/terrain-editor.desktop
! desktop-file-validate "$desktop" 2>&1 | grep -E 'error|warning' || fail "desktop-file-validate"
grep -qx 'MimeType=application/x-terrain-map;' "$desktop" || fail "no .ter type in the desktop file"
mkdir -p "$work/mime/packages" && cp "$prefix"/share/mime/packages/* "$work/mime/packages/"
update-mime-database "$work/mime" >/dev/null 2>&1 && grep -qx '50:application/x-terrain-map:\*\.ter' "$work/mime/globs2" ||
    fail "no *.ter glob in the MIME database"
for size in 48 256; do
    [ "$(identify -format '%m %w %h' "$icons/${size}x$size/apps/terrain-editor.png")" = "PNG $size $size" ] ||
        fail "$size px icon"
done
rsvg-convert -w 32 -o "$work/svg.png" "$icons/scalable/apps/terrain-editor.svg" || fail "SVG icon"
[ "$("$prefix/bin/terrain-batch" --version)" = "terrain-batch $version" ] || fail "terrain-batch --version"
# --version prints in a terminal without a display too.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/terrain-editor" --version 2>/dev/null)" = \
    "terrain-editor $version" ] || fail "terrain-editor --version without a display"

# run DIR RC PATTERN ARGS...: the editor started in DIR ends with RC and prints PATTERN.
run() {
    local dir=$1 rc=$2 pattern=$3 code out
    shift 3
    (cd "$dir" && QT_QPA_PLATFORM=offscreen timeout 30 "$prefix/bin/terrain-editor" --smoke-test "$@") >"$work/out" 2>&1
    code=$?
    out=$(grep -E '^(opened|dialog):' "$work/out")
    [ "$code" -eq "$rc" ] && [[ $out == $pattern ]] || fail "terrain-editor $*: exit code $code, $(cat "$work/out")"
}
mkdir -p "$work/empty" "$work/project" && cp -r "$sample/Textures" "$work/project/"
# A 3 x 2 map whose tile-name table names one sample tile.
{ printf 'S\3\0\0\0\2\0\0\0H12345678D' && head -c 16 /dev/zero && printf 'T\0\0\0\0GRDIA000'; } >"$work/project/Small.TER"
run "$work/empty" 0 "opened: Tri1 (256 x 256 cells, $tiles tiles) in $sample" "$sample"
run "$work/empty" 0 "opened: Tri1 (256 x 256 cells, $tiles tiles) in $sample" --sample
run "$work/empty" 0 "opened: Small.TER (3 x 2 cells, $tiles tiles) in $work/project" "$work/project/Small.TER"
run "$work/empty" 255 "dialog: Error: Oops: No terrain tiles were found.*looked for in $work/empty/Textures.*terrain-editor --sample"
run "$work/empty" 2 "dialog: Error: *is neither a folder nor a map file*" "$sample/Textures"/GRDIA000.BMP
echo "PASS: installed files checked; the installed editor started on the sample, a map and --sample"
