#!/usr/bin/env bash
# Usage: test_install.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
share="$prefix/share"
for f in bin/navu-photo-frame share/applications/navu-photo-frame.desktop \
  share/mime/packages/navu-photo-frame.xml share/icons/hicolor/scalable/apps/navu-photo-frame.svg \
  share/icons/hicolor/256x256/apps/navu-photo-frame.png \
  share/icons/hicolor/scalable/mimetypes/application-x-navu-photo-frame-design.svg \
  share/navu-photo-frame/resources/pyth_mail.py share/navu-photo-frame/resources/Templates; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/navu-photo-frame" ] || fail "the program is not executable"
desktop-file-validate "$share/applications/navu-photo-frame.desktop" || fail "desktop entry does not validate"
grep -q '^Exec=navu-photo-frame %f$' "$share/applications/navu-photo-frame.desktop" || fail "Exec takes no file"
# The design type is known by its extension once the database is built, and the program opens it.
update-mime-database "$share/mime" >/dev/null
grep -q '^50:application/x-navu-photo-frame-design:\*\.kvto$' "$share/mime/globs2" || fail "*.kvto is not mapped"
[ -f "$share/mime/application/x-navu-photo-frame-design.xml" ] || fail "the design type is not in the database"
grep -q 'MimeType=application/x-navu-photo-frame-design;' "$share/applications/navu-photo-frame.desktop" ||
  fail "the program does not claim the design type"
