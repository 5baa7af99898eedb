#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop finds
# there: both programs, the examples, a desktop entry that desktop-file-validate
# accepts, the icons, and the file type of models, known by name and by content.
#   scripts/check_install.sh <build dir> [mime probe]
set -euo pipefail

build=$1
probe=${2:-}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "check_install: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/marvolt bin/marvolt-run share/applications/marvolt.desktop \
    share/mime/packages/marvolt.xml share/marvolt/examples/mm1.qsf \
    share/marvolt/examples/failures_and_reserve.qsf; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for f in bin/marvolt bin/marvolt-run; do
    [ -x "$prefix/$f" ] || fail "$f is not executable"
done
for size in 16 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/marvolt.png" ] ||
        fail "no ${size}x${size} icon"
done

entry="$prefix/share/applications/marvolt.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the desktop entry"
grep -qx 'Exec=marvolt %f' "$entry" || fail "the entry does not start marvolt with the file"
grep -qx 'Icon=marvolt' "$entry" || fail "the entry does not name the installed icon"
grep -qx 'MimeType=application/x-marvolt-model;' "$entry" || fail "the entry claims no model files"

XDG_DATA_DIRS="$prefix/share" update-mime-database "$prefix/share/mime"
[ -f "$prefix/share/mime/application/x-marvolt-model.xml" ] ||
    fail "the shared-MIME description was not taken"
if [ -n "$probe" ]; then
    cp "$prefix/share/marvolt/examples/mm1.qsf" "$prefix/model"
    by_name=$(XDG_DATA_DIRS="$prefix/share" "$probe" name "$prefix/share/marvolt/examples/mm1.qsf")
    by_content=$(XDG_DATA_DIRS="$prefix/share" "$probe" content "$prefix/model")
    [ "$by_name" = application/x-marvolt-model ] || fail "a .qsf name gives $by_name"
    [ "$by_content" = application/x-marvolt-model ] || fail "a model's content gives $by_content"
fi

# The installed runner works on the installed examples.
"$prefix/bin/marvolt-run" --arrivals 1000 "$prefix/share/marvolt/examples/mm1.qsf" >/dev/null ||
    fail "the installed marvolt-run cannot run an installed example"
echo "check_install: ok"
