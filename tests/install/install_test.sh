#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks every installed file, then starts the
# installed editor on Qt's offscreen platform with its --smoke-test option (it prints what it
# opened, or the dialog it showed, and quits): on the sample folder, on a map file, with
# --sample, in a folder without tiles and with a bad argument.
# Usage: install_test.sh CMAKE BUILD_DIR VERSION
set -u
cmake=$1 build=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$work/install.log")"

# Exactly these files, besides the sample tiles.
expected="bin/terrain-batch
bin/terrain-editor
share/applications/terrain-editor.desktop
share/icons/hicolor/256x256/apps/terrain-editor.png
share/icons/hicolor/48x48/apps/terrain-editor.png
share/icons/hicolor/scalable/apps/terrain-editor.svg
share/mime/packages/terrain-editor.xml"
sample=$prefix/share/terrain-editor/sample
actual=$(cd "$prefix" && find . -type f ! -path "./share/terrain-editor/sample/Textures/*" |
    sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual"))"
for exe in bin/terrain-batch bin/terrain-editor; do
    [ -x "$prefix/$exe" ] || fail "$exe is not executable"
done

# The sample tiles: the generated set, every one a 128 x 128 BMP.
count=$(find "$build/sample/Textures" -name '*.BMP' | wc -l)
[ "$count" -gt 0 ] || fail "the build has no sample tiles"
pictures=$(identify -format '%m %w %h\n' "$sample"/Textures/* 2>&1 | sort | uniq -c | xargs)
[ "$pictures" = "$count BMP3 128 128" ] || fail "sample tiles: $pictures (expected $count BMPs)"

# Desktop entry and MIME type: valid, and they name the same type and the icon.
desktop=$prefix/share/applications/terrain-editor.desktop
problems=$(desktop-file-validate "$desktop" 2>&1 | grep -E 'error|warning')
[ -z "$problems" ] || fail "desktop-file-validate: $problems"
grep -qx 'Exec=terrain-editor --sample %f' "$desktop" || fail "Exec line: $(grep Exec= "$desktop")"
grep -qx 'MimeType=application/x-terrain-map;' "$desktop" || fail "no MimeType line for .ter maps"
mkdir -p "$work/mime/packages" && cp "$prefix/share/mime/packages/terrain-editor.xml" "$work/mime/packages/"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database: $(cat "$work/mime.log")"
grep -q '^50:application/x-terrain-map:\*\.ter$' "$work/mime/globs2" || fail "no *.ter glob in the MIME database"

# Icons: pictures of their size; the SVG renders.
icons=$prefix/share/icons/hicolor
[ "$(identify -format '%m %w %h' "$icons/48x48/apps/terrain-editor.png")" = "PNG 48 48" ] || fail "48 px icon"
[ "$(identify -format '%m %w %h' "$icons/256x256/apps/terrain-editor.png")" = "PNG 256 256" ] || fail "256 px icon"
rsvg-convert -w 32 -h 32 -o "$work/svg.png" "$icons/scalable/apps/terrain-editor.svg" &&
    [ "$(identify -format '%w %h' "$work/svg.png")" = "32 32" ] || fail "the SVG icon does not render"

[ "$("$prefix/bin/terrain-batch" --version)" = "terrain-batch $version" ] || fail "terrain-batch --version"

# Runs the installed editor in folder $1 with the remaining arguments; sets $out and $rc.
editor() {
    local dir=$1
    shift
    out=$(cd "$dir" && QT_QPA_PLATFORM=offscreen timeout 30 "$prefix/bin/terrain-editor" \
        --smoke-test "$@" 2>"$work/editor.err")
    rc=$?
}
expect() { # expect RC OUTPUT WHAT
    [ "$rc" -eq "$1" ] && [ "$out" = "$2" ] ||
        fail "$3: exit code $rc, output: $out (expected $1: $2) $(cat "$work/editor.err")"
}

empty=$work/empty
mkdir -p "$empty"
editor "$empty" "$sample"
expect 0 "opened: Tri1 (256 x 256 cells, $count tiles) in $sample" "start on the sample folder"
editor "$empty" --sample
expect 0 "opened: Tri1 (256 x 256 cells, $count tiles) in $sample" "start with --sample"

# A 3 x 2 map whose name table names one sample tile; the extension's case does not matter.
project=$work/project
mkdir -p "$project" && cp -r "$sample/Textures" "$project/"
{
    printf 'S\003\0\0\0\002\0\0\0'
    printf 'H\001\002\003\004\005\006\007\010'
    printf 'D' && head -c 16 /dev/zero
    printf 'T\0\0\0\0GRDIA000'
} >"$project/Small.TER"
editor "$empty" "$project/Small.TER"
expect 0 "opened: Small.TER (3 x 2 cells, $count tiles) in $project" "start on a map file"

# No tiles: the Error dialog says where it looked and how to start; exit code 255.
editor "$empty"
expect 255 "dialog: Error: Oops: No terrain tiles were found. Terrain tiles (24-bit 128x128 BMP files) must be stored in the subdirectory TEXTURES. The tiles were looked for in $empty/Textures. To work on a project, start the editor on its folder: terrain-editor FOLDER To try the sample tiles in $sample: terrain-editor --sample" \
    "start without tiles"
editor "$empty" "$project/Textures/GRDIA000.BMP"
expect 2 "dialog: Error: \"$project/Textures/GRDIA000.BMP\" is neither a folder nor a map file (.ter). Usage: terrain-editor [--sample] [FOLDER | MAP.ter]" \
    "start on a file that is no map"
echo "PASS: installed files checked; the installed editor started on the sample, a map and --sample"
