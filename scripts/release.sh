#!/bin/sh
# Makes what a Windows user downloads, in dist/:
#   vantrel-<version>.zip         vantrel.exe, the example list file, the user
#                                 guide, a read-me and the licence
#   vantrel-<version>-setup.exe   the per-user installer
#   SHA256SUMS                    for both
#   RELEASE-NOTES.md              this version's section of CHANGELOG.md
#   license.txt                   LICENSE, as the zip and the installer hold it
# The version is the one in res/version.h, which the exe's version resource
# (and so its About box) also carries; CHANGELOG.md must have a section for it.
# The name, publisher, copyright line and description are those of
# res/product.h; LICENSE must carry the same copyright line.
#
#   sh scripts/release.sh                  build, then package build/win/vantrel.exe
#   sh scripts/release.sh --exe PATH [--out DIR]
#                                          package that exe as it is, no build.
# Relative paths, here and in VANTREL_SIGN_PFX, are the caller's.
# Signing (Authenticode, SHA-256): VANTREL_SIGN_PFX names a PKCS#12 file and
# VANTREL_SIGN_PASS holds its password; the exe in the zip and the installer,
# the installer's uninstaller and the installer itself are then signed.
# VANTREL_SIGN_TIMESTAMP, an RFC 3161 time-stamping server's URL, adds a time stamp.
# A signed installer is about 50 KB larger. Unsigned, it builds its
# uninstaller at install time around its own 108 KB exe header; signed, the
# uninstaller has to be made and signed here and is packed in whole, and
# that header costs ~48 KB compressed. The signatures make the rest (~1.5 KB
# each with a self-signed certificate; a real chain and a time stamp add more).
# Package managers: VANTREL_DOWNLOAD_URL, the address the files of dist/ are
# published under, adds dist/winget/manifests/<p>/<publisher>/<name>/<version>/
# and dist/scoop/vantrel.json.
# Nothing reaches the output folder unless every step succeeded.
#
# A 64-bit exe (the twin that hosts without 32-bit support run under Wine)
# gets a 64-bit installer and "-x64" in its file names; that is for tests,
# never for shipping, and gets no package-manager manifests.
set -eu
die() { echo "release: $*" >&2; exit 1; }
root=$(cd "$(dirname "$0")/.." && pwd)
fact() { sed -n "s/^#define VANTREL_$1 \"\(.*\)\"\$/\1/p" "$root/res/product.h"; }
product=$(fact PRODUCT) publisher=$(fact PUBLISHER) copyright=$(fact COPYRIGHT) about=$(fact DESCRIPTION)
needs=$(fact REQUIREMENTS)

# Signs one file in place; makensis also runs this on the installer and on
# its uninstaller. The password goes through a pipe, not the process list.
sign_file() {
  printf '%s' "${VANTREL_SIGN_PASS:-}" |
    osslsigncode sign -pkcs12 "$VANTREL_SIGN_PFX" -readpass /dev/stdin -n "$product" -h sha256 \
      ${VANTREL_SIGN_TIMESTAMP:+-ts "$VANTREL_SIGN_TIMESTAMP"} \
      -in "$1" -out "$1.signed" >"$1.log" 2>&1 ||
    { sed 's/^/  /' "$1.log" >&2; rm -f "$1.signed" "$1.log"
      die "could not sign $(basename "$1") with VANTREL_SIGN_PFX=$VANTREL_SIGN_PFX (wrong VANTREL_SIGN_PASS, or no code-signing key in it?)"; }
  rm -f "$1.log"
  mv "$1.signed" "$1"
}

callers() { case $1 in /*|"") printf '%s\n' "$1" ;; *) printf '%s\n' "$PWD/$1" ;; esac; }
VANTREL_SIGN_PFX=$(callers "${VANTREL_SIGN_PFX:-}")
exe="" out="$root/dist"
while [ $# -gt 0 ]; do
  case $1 in
    --exe) exe=$(callers "$2"); shift 2 ;;
    --out) out=$(callers "$2"); shift 2 ;;
    --sign-file) sign_file "$2"; exit 0 ;;
    *) echo "usage: release.sh [--exe PATH] [--out DIR]" >&2; exit 2 ;;
  esac
done
cd "$root"

define() { sed -n "s/^#define VANTREL_VERSION_$1 *\"*\([0-9.]*\)\"*\$/\1/p" res/version.h; }
version=$(define TEXT)
[ "$version" = "$(define MAJOR).$(define MINOR).$(define PATCH)" ] ||
  die "res/version.h: the version text and numbers disagree"
# The texts go into YAML and JSON as they are.
case "$product|$publisher|$copyright|$about|$needs" in
  *\|\|*|\|*|*\||*[\"\'\\]*) die "res/product.h: a text is missing or holds quotes or backslashes" ;;
esac
grep -qxF "$copyright" LICENSE 2>/dev/null || die "LICENSE lacks the copyright line of res/product.h: $copyright"

# A version the changelog does not describe is not released; its section
# is the release page's text.
notes=$(awk -v head="## [$version]" 'index($0, head) == 1 { on = 1; print; next }
                                     on && /^## / { exit } on' CHANGELOG.md 2>/dev/null || true)
[ -n "$(printf '%s\n' "$notes" | sed 1d | tr -d ' \n')" ] ||
  die "CHANGELOG.md has no section \"## [$version]\" with entries; write one first"

if [ -n "${VANTREL_SIGN_PFX:-}" ]; then
  [ -f "$VANTREL_SIGN_PFX" ] && [ -r "$VANTREL_SIGN_PFX" ] ||
    die "VANTREL_SIGN_PFX names no readable file: $VANTREL_SIGN_PFX"
  export VANTREL_SIGN_PFX
fi
url=${VANTREL_DOWNLOAD_URL:-}
if [ -n "$url" ]; then
  # The address goes into YAML and JSON as it is: no quotes, blanks or
  # backslashes, and always one slash at the end.
  case $url in
    *[\"\'\\\ ]*|*"$(printf '\t')"*) die "VANTREL_DOWNLOAD_URL may hold no quotes, blanks or backslashes" ;;
    http://*|https://*) url=${url%/}/ ;;
    *) die "VANTREL_DOWNLOAD_URL must start with https:// (or http://)" ;;
  esac
fi

if [ -z "$exe" ]; then
  sh scripts/deps.sh
  sh scripts/build.sh >/dev/null
  exe=build/win/vantrel.exe
fi
[ -f "$exe" ] || die "no exe $exe"
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

# The exe must carry that version, or its About box would disagree.
exe_version=$(strings -el "$exe" | sed -n '/^FileVersion$/{n;p;q}')
[ "$exe_version" = "$version" ] ||
  die "$exe says FileVersion [$exe_version], res/version.h says $version; rebuild"

# The PE machine field: 014c for i386, 8664 for x86-64.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
case $machine in
  014c)
    tag="" nsis_arch=""
    sh tests/check_exe.sh i686-w64-mingw32-objdump "$exe" build/native/pestamp >/dev/null ||
      die "$exe fails the exe shape check" ;;
  8664)
    tag="-x64" nsis_arch="-DAMD64"
    echo "release: note: $exe is the 64-bit test twin; this package is for tests, not for shipping" ;;
  *) die "$exe is not a Windows exe this script knows (machine $machine)" ;;
esac

name="vantrel-$version$tag"
work=$(mktemp -d /tmp/vantrel-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
stage="$work/stage" dist="$work/dist"
mkdir -p "$stage" "$dist"
cp "$exe" "$stage/vantrel.exe"
# Signing rewrites the header checksum over the signed file, so the
# program's start-up self-check still holds.
nsis_sign=""
if [ -n "${VANTREL_SIGN_PFX:-}" ]; then
  sign_file "$stage/vantrel.exe"
  nsis_sign="-DSIGN=$root/scripts/release.sh"
else
  echo "release: unsigned: VANTREL_SIGN_PFX is not set"
fi
# Text files with Windows line ends, so that any editor shows them right.
crlf() { sed 's/\r$//; s/$/\r/' "$1" > "$2"; }
# The zip holds no pictures: the guide names each one instead of linking it.
sed -E 's/^!\[(.*)\]\(images\/[^)]*\)$/[Picture: \1]/' docs/guide.md > "$work/guide.md"
crlf "$work/guide.md" "$stage/guide.txt"
crlf docs/readme.txt "$stage/readme.txt"
crlf examples/eject-backup.ini "$stage/eject-backup.ini"
crlf LICENSE "$stage/license.txt"

# The same sources give the same zip: fixed file times, no extra fields.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)
touch -d "@$stamp" "$stage"/*
(cd "$stage" && zip -q -X -D "$dist/$name.zip" vantrel.exe eject-backup.ini guide.txt readme.txt license.txt)
cp "$stage/license.txt" "$dist/"

makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$dist/$name-setup.exe" \
  -DICON="$root/res/icons/200.ico" $nsis_arch ${nsis_sign:+"$nsis_sign"} installer/vantrel.nsi \
  >"$work/makensis.log" 2>&1 ||
  { cat "$work/makensis.log" >&2; die "makensis failed"; }

(cd "$dist" && sha256sum "$name.zip" "$name-setup.exe" > SHA256SUMS)
printf '%s\n' "$notes" > "$dist/RELEASE-NOTES.md"

if [ -z "$url" ]; then
  echo "release: no winget or Scoop manifests: VANTREL_DOWNLOAD_URL is not set"
elif [ -n "$tag" ]; then
  echo "release: no winget or Scoop manifests for the test twin"
else
  hash() { sha256sum "$dist/$1" | cut -d' ' -f1; }
  schema=1.12.0  # the newest the community repository's validation accepts
  id="$publisher.$product"
  winget="$dist/winget/manifests/$(printf %.1s "$publisher" | tr A-Z a-z)/$publisher/$product/$version"
  mkdir -p "$winget" "$dist/scoop"
  yaml_top() {  # manifest type
    printf '%s\n' "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$1.$schema.schema.json" \
      "PackageIdentifier: $id" "PackageVersion: $version"
  }
  yaml_end() { printf '%s\n' "ManifestType: $1" "ManifestVersion: $schema"; }
  { yaml_top version; echo "DefaultLocale: en-US"; yaml_end version; } > "$winget/$id.yaml"
  # The entry under Apps and features is the uninstall key the installer
  # writes (ProductCode is that key's name), so winget finds what it installed.
  { yaml_top installer; cat <<EOF
InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
UpgradeBehavior: install
AppsAndFeaturesEntries:
- DisplayName: $product
  Publisher: $publisher
  DisplayVersion: '$version'
  ProductCode: $product
Installers:
- Architecture: x86
  InstallerUrl: '$url$name-setup.exe'
  InstallerSha256: $(hash "$name-setup.exe" | tr a-f A-F)
EOF
    yaml_end installer; } > "$winget/$id.installer.yaml"
  { yaml_top defaultLocale; cat <<EOF
PackageLocale: en-US
Publisher: $publisher
PackageName: $product
PackageUrl: '$url'
License: MIT
LicenseUrl: '${url}license.txt'
Copyright: $copyright
ShortDescription: $about
Description: $needs
ReleaseNotesUrl: '${url}RELEASE-NOTES.md'
EOF
    yaml_end defaultLocale; } > "$winget/$id.locale.en-US.yaml"
  # Scoop installs the zip; checkver reads the version from the published
  # SHA256SUMS, and autoupdate takes the new zip's hash from there too.
  cat > "$dist/scoop/vantrel.json" <<EOF
{
    "version": "$version",
    "description": "$about",
    "homepage": "$url",
    "license": "MIT",
    "url": "$url$name.zip",
    "hash": "$(hash "$name.zip")",
    "bin": "vantrel.exe",
    "shortcuts": [
        ["vantrel.exe", "$product"]
    ],
    "checkver": {
        "url": "${url}SHA256SUMS",
        "regex": "vantrel-([\\\\d.]+)\\\\.zip"
    },
    "autoupdate": {
        "url": "${url}vantrel-\$version.zip",
        "hash": {
            "url": "${url}SHA256SUMS",
            "regex": "\$sha256\\\\s+\$basename"
        }
    }
}
EOF
fi

# Only a complete release replaces what the output folder held.
mkdir -p "$out"
(cd "$out" && rm -rf "$name.zip" "$name-setup.exe" SHA256SUMS RELEASE-NOTES.md license.txt winget scoop)
cp -R "$dist"/. "$out/"
(cd "$out" && find "$name.zip" "$name-setup.exe" SHA256SUMS RELEASE-NOTES.md license.txt winget scoop -type f 2>/dev/null) |
  sort | while read -r f; do
    printf '%s  %s bytes\n' "$out/$f" "$(wc -c < "$out/$f")"
  done
