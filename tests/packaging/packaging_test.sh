#!/usr/bin/env bash
# Usage: packaging_test.sh install|deb|lintian <source folder> <build folder>
#   install: `cmake --install` into a temporary DESTDIR puts every file in its freedesktop
#            place; the desktop entry validates, the file type registers *.mind and its magic,
#            the icons have the sizes their folders say, the man page formats without warnings.
#   deb:     CPack's .deb lists those files, names its package and dependencies, and installs
#            into and removes from an empty dpkg root cleanly.
#   lintian: lintian finds no error and no warning in that .deb (no tag is overridden).
# The program must be built first. Exit 77 (skipped) when dpkg or lintian is missing.
set -euo pipefail
check=$1 src=$2 build=$3
work=$(mktemp -d "$build/packaging-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

files=(usr/bin/mindmap usr/share/applications/mindmap.desktop usr/share/mime/packages/mindmap.xml
       usr/share/man/man1/mindmap.1.gz usr/share/doc/mindmap/changelog.gz usr/share/doc/mindmap/copyright
       usr/share/icons/hicolor/scalable/apps/mindmap.svg
       usr/share/icons/hicolor/scalable/mimetypes/application-x-mindmap.svg)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do files+=("usr/share/icons/hicolor/${size}x${size}/apps/mindmap.png"); done

# Width and height from a PNG's header, as "WxH".
png_size() {
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "${w}x${h}"
}

if [ "$check" = install ]; then
  stage=$work/stage
  DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
  for f in "${files[@]}"; do [ -f "$stage/$f" ] || fail "cmake --install did not put $f"; done
  [ -x "$stage/usr/bin/mindmap" ] || fail "usr/bin/mindmap is not executable"
  for size in "${sizes[@]}"; do
    got=$(png_size "$stage/usr/share/icons/hicolor/${size}x${size}/apps/mindmap.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
  done
  grep -q '^Exec=mindmap %f$' "$stage/usr/share/applications/mindmap.desktop" || fail "Exec does not pass the file"
  grep -q '^MimeType=application/x-mindmap;$' "$stage/usr/share/applications/mindmap.desktop" ||
    fail "the desktop entry does not claim map files"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/usr/share/applications/mindmap.desktop" || fail "desktop-file-validate"
  else
    echo "skipped the desktop entry check: desktop-file-validate (desktop-file-utils) is not installed"
  fi
  if command -v update-mime-database >/dev/null; then
    update-mime-database "$stage/usr/share/mime"
    grep -q '^50:application/x-mindmap:\*\.mind$' "$stage/usr/share/mime/globs2" || fail "*.mind is not registered"
    [ -f "$stage/usr/share/mime/application/x-mindmap.xml" ] || fail "the file type was not registered"
    grep -q 'application/x-mindmap' "$stage/usr/share/mime/magic" || fail "the file type has no magic"
  else
    echo "skipped the file type check: update-mime-database (shared-mime-info) is not installed"
  fi
  # Compressed as Debian wants: gzip -9n, no name or time stamp inside.
  for f in usr/share/man/man1/mindmap.1.gz usr/share/doc/mindmap/changelog.gz; do
    gzip -t "$stage/$f" || fail "$f is not gzip"
    [ "$(od -An -tu1 -j4 -N4 "$stage/$f" | tr -d ' ')" = 0000 ] || fail "$f holds a time stamp (not gzip -n)"
  done
  zcat "$stage/usr/share/doc/mindmap/changelog.gz" | head -n 1 | grep -Eq '^mindmap \([0-9][^)]*\) [a-z]+; urgency=' ||
    fail "the changelog does not start with a Debian entry"
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    "$stage/usr/share/doc/mindmap/copyright" || fail "the copyright file is not machine-readable"
  if command -v groff >/dev/null; then
    warnings=$(zcat "$stage/usr/share/man/man1/mindmap.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "man page: $warnings"
  fi
  echo "install: ${#files[@]} files in place"
  exit 0
fi

if ! command -v dpkg-deb >/dev/null || ! command -v dpkg >/dev/null; then
  echo "skipped: dpkg is not installed"
  exit 77
fi
if [ "$check" = lintian ] && ! command -v lintian >/dev/null; then
  echo "skipped: lintian is not installed"
  exit 77
fi
(cd "$build" && cpack --config CPackConfig.cmake -G DEB -B "$work/pkg" >/dev/null)
debs=("$work"/pkg/mindmap_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no mindmap_*.deb"
deb=${debs[0]}

if [ "$check" = lintian ]; then
  # Info tags are shown, not failed on.
  status=0
  said=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || status=$?
  grep -v '^running with root privileges' <<<"$said" || true
  [ $status -eq 0 ] || fail "lintian found errors or warnings"
  echo "lintian: $(basename "$deb") has no errors or warnings"
  exit 0
fi
listing=$(dpkg-deb -c "$deb")
for f in "${files[@]}"; do grep -q " \./$f\$" <<<"$listing" || fail "the .deb does not hold $f"; done
[ "$(dpkg-deb -f "$deb" Package)" = mindmap ] || fail "the package is not named mindmap"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libx11-6 libcairo2; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --force-not-root --force-depends --log=/dev/null "$@" >/dev/null; }
dpkg_root -i "$deb" || fail "dpkg -i failed"
for f in "${files[@]}"; do [ -f "$root/$f" ] || fail "dpkg -i did not install $f"; done
dpkg_root -r mindmap || fail "dpkg -r failed"
left=$( (find "$root/usr" -type f 2>/dev/null || true) | head -5)
[ -z "$left" ] || fail "dpkg -r left files: $left"
echo "deb: $(basename "$deb") installs and removes cleanly"
