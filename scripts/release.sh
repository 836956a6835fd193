#!/bin/sh
# Makes what a Windows user downloads, in dist/:
#   vantrel-<version>.zip         vantrel.exe, the example list file, the user
#                                 guide and a read-me
#   vantrel-<version>-setup.exe   the per-user installer
#   SHA256SUMS                    for both
# The version is the one in res/version.h, which the exe's version resource
# (and so its About box) also carries.
#
#   sh scripts/release.sh                  build, then package build/win/vantrel.exe
#   sh scripts/release.sh --exe PATH [--out DIR]
#                                          package that exe as it is, no build.
# A 64-bit exe (the twin that hosts without 32-bit support run under Wine)
# gets a 64-bit installer and "-x64" in its file names; that is for tests,
# never for shipping.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
exe="" out="$root/dist"
while [ $# -gt 0 ]; do
  case $1 in
    --exe) exe=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: release.sh [--exe PATH] [--out DIR]" >&2; exit 2 ;;
  esac
done

if [ -z "$exe" ]; then
  sh scripts/deps.sh
  sh scripts/build.sh >/dev/null
  exe=build/win/vantrel.exe
fi
[ -f "$exe" ] || { echo "release: no exe $exe" >&2; exit 1; }
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

define() { sed -n "s/^#define VANTREL_VERSION_$1 *\"*\([0-9.]*\)\"*\$/\1/p" res/version.h; }
version=$(define TEXT)
[ "$version" = "$(define MAJOR).$(define MINOR).$(define PATCH)" ] ||
  { echo "release: res/version.h: the version text and numbers disagree" >&2; exit 1; }
# The exe must carry that version, or its About box would disagree.
exe_version=$(strings -el "$exe" | sed -n '/^FileVersion$/{n;p;q}')
[ "$exe_version" = "$version" ] ||
  { echo "release: $exe says FileVersion [$exe_version], res/version.h says $version; rebuild" >&2; exit 1; }

# The PE machine field: 014c for i386, 8664 for x86-64.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
case $machine in
  014c)
    tag="" nsis_arch=""
    sh tests/check_exe.sh i686-w64-mingw32-objdump "$exe" build/native/pestamp >/dev/null ||
      { echo "release: $exe fails the exe shape check" >&2; exit 1; } ;;
  8664)
    tag="-x64" nsis_arch="-DAMD64"
    echo "release: note: $exe is the 64-bit test twin; this package is for tests, not for shipping" ;;
  *) echo "release: $exe is not a Windows exe this script knows (machine $machine)" >&2; exit 1 ;;
esac

name="vantrel-$version$tag"
work=$(mktemp -d /tmp/vantrel-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
mkdir -p "$stage" "$out"
cp "$exe" "$stage/vantrel.exe"
# Text files with Windows line ends, so that any editor shows them right.
crlf() { sed 's/\r$//; s/$/\r/' "$1" > "$2"; }
crlf docs/guide.md "$stage/guide.txt"
crlf docs/readme.txt "$stage/readme.txt"
crlf examples/eject-backup.ini "$stage/eject-backup.ini"

# The same sources give the same zip: fixed file times, no extra fields.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)
touch -d "@$stamp" "$stage"/*
rm -f "$out/$name.zip" "$out/$name-setup.exe"
(cd "$stage" && zip -q -X -D "$out/$name.zip" vantrel.exe eject-backup.ini guide.txt readme.txt)

makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/$name-setup.exe" \
  -DICON="$root/res/icons/200.ico" $nsis_arch installer/vantrel.nsi >"$work/makensis.log" 2>&1 ||
  { cat "$work/makensis.log" >&2; echo "release: makensis failed" >&2; exit 1; }

(cd "$out" && sha256sum "$name.zip" "$name-setup.exe" > SHA256SUMS)
for f in "$name.zip" "$name-setup.exe" SHA256SUMS; do
  printf '%s  %s bytes\n' "$out/$f" "$(wc -c < "$out/$f")"
done
