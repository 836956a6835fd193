#!/bin/sh
# The release: unsigned and signed, refusals, the zip's contents, the package
# manifests, and the signed installer run under Wine (install, update, uninstall).
. "$E2E_LIB"
root=$(cd "$(dirname "$E2E_LIB")/../.." && pwd)
shipped="$root/build/win/vantrel.exe"
version=$(sed -n 's/^#define VANTREL_VERSION_TEXT "\(.*\)"$/\1/p' "$root/res/version.h")

url=https://example.invalid/vantrel
# A throwaway certificate to sign with and to check the signatures against.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$T/key.pem" -out "$T/cert.pem" -subj /CN=test -addext \
  extendedKeyUsage=codeSigning 2>/dev/null && openssl pkcs12 -export -inkey "$T/key.pem" -in "$T/cert.pem" \
  -out "$T/sign.pfx" -passout pass:sesame || fail "could not make a test certificate"
signature() { osslsigncode verify -CAfile "$T/cert.pem" -in "$1" 2>&1 | sed -n 's/^Message digest algorithm  : //p
  s/^\tText description: //p; s/^Timestamp is not available/no timestamp/p; /^Succeeded/p' | tr '\n' ' '; }
release() {  # FOLDER TREE VAR=value...: TREE's release.sh on the tested build, run from $T with relative paths
  f=$1 o=$T/$1 r=$2; shift 2; (cd "$T" && env "$@" sh "$r/scripts/release.sh" --exe "$(realpath --relative-to=. "$shipped")" \
  --out "$f") >"$o.out" 2>"$o.err"; }
release dist "$root" || fail "release.sh failed"
release signed "$root" VANTREL_SIGN_PFX="$T/sign.pfx" VANTREL_SIGN_PASS=sesame VANTREL_DOWNLOAD_URL=$url ||
  fail "signed release.sh failed: $(cat "$T/signed.err")"
mkdir -p "$T/bare/scripts" "$T/bare/res" && cp "$root/scripts/release.sh" "$T/bare/scripts/" &&
  cp "$root/res/version.h" "$root/res/product.h" "$T/bare/res/" && printf '## [0.9.0]\n- Old.\n' > "$T/bare/CHANGELOG.md"
cp -R "$T/bare" "$T/old-licence" && sed 's/^Copyright .*/Copyright (C) 1999 Someone/' "$root/LICENSE" > "$T/old-licence/LICENSE"
cp "$root/LICENSE" "$T/bare/"
while read -r what tree pfx pass reason; do
  release refused "$tree" VANTREL_SIGN_PFX="$pfx" VANTREL_SIGN_PASS="$pass"
  expect_eq "$what: refused, with its reason, nothing written" \
    "$? $(grep -c "^release: .*$reason" "$T/refused.err") $(test -e "$T/refused"; echo $?)" "1 1 1"
done <<ROWS
missing-certificate $root $T/none.pfx sesame VANTREL_SIGN_PFX names no readable file
wrong-password $root $T/sign.pfx wrong VANTREL_SIGN_PASS
no-changelog-section $T/bare $T/sign.pfx sesame no section "## \[$version\]"
licence-copyright-line $T/old-licence $T/sign.pfx sesame LICENSE lacks the copyright line
ROWS
zip="$T/dist/vantrel-$version.zip"
setup="$T/signed/vantrel-$version-setup.exe"
expect_eq "release files, what was left out" "$(LC_ALL=C ls "$T/dist" | tr '\n' ' ')$(grep -c -e '^release: unsigned: VANTREL_SIGN_PFX' \
  -e '^release: no winget or Scoop manifests: VANTREL_DOWNLOAD_URL' "$T/dist.out")" \
  "RELEASE-NOTES.md SHA256SUMS license.txt vantrel-$version-setup.exe vantrel-$version.zip 2"
expect_eq "SHA256SUMS, unsigned and signed" "$(for d in dist signed; do (cd "$T/$d" && sha256sum -c SHA256SUMS); done |
  tr '\n' ' ')" "vantrel-$version.zip: OK vantrel-$version-setup.exe: OK vantrel-$version.zip: OK vantrel-$version-setup.exe: OK "
expect_eq "release notes: the version's section of the changelog" "$(cat "$T/dist/RELEASE-NOTES.md")" \
  "$(sed -n "/^## \[$version\]/,/^## \[/p" "$root/CHANGELOG.md" | sed '$d')"
expect_eq "zip contents" "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" \
  "eject-backup.ini guide.txt license.txt readme.txt vantrel.exe "
mkdir "$T/unzipped"
unzip -q "$zip" -d "$T/unzipped"
expect_rc "zipped exe is the build" 0 cmp "$shipped" "$T/unzipped/vantrel.exe"
sh "$root/tests/check_exe.sh" i686-w64-mingw32-objdump "$T/unzipped/vantrel.exe" "$root/build/native/pestamp" >/dev/null
expect_eq "zipped exe passes the shape check" "$?" 0
expect_eq "zipped guide (its pictures named, not linked) and licence" "$(grep -v '^!\[' "$root/docs/guide.md" > "$T/guide"
  tr -d '\r' < "$T/unzipped/guide.txt" | grep -v '^\[Picture: ' | cmp - "$T/guide"; grep -c '](images/' "$T/unzipped/guide.txt"
  tr -d '\r' < "$T/unzipped/license.txt" | cmp - "$root/LICENSE")" "0"
expect_eq "installer's own version" "$(strings -el "$setup" | sed -n '/^ProductVersion$/{n;p;q}')" "$version"
expect_rc "installer asks for no administrator rights" 0 grep 'level="asInvoker"' "$setup"
# Signed: the zip's exe is the build plus a signature; the signatures verify.
unzip -q "$T/signed/vantrel-$version.zip" -d "$T/signed-zip" && signed_exe="$T/signed-zip/vantrel.exe"
osslsigncode remove-signature -in "$signed_exe" -out "$T/stripped.exe" >/dev/null 2>&1
expect_eq "signed zip's exe less its signature is the build" "$(cmp "$shipped" "$T/stripped.exe" 2>&1)" ""
signed_ok="SHA256 VANTREL no timestamp Succeeded "
for f in "$signed_exe" "$setup"; do expect_eq "signature of $(basename "$f")" "$(signature "$f")" "$signed_ok"; done
y="$T/signed/winget/manifests/h/HALCYRA/VANTREL/$version/HALCYRA.VANTREL"
expect_eq "winget manifests" "$(yq -r '[.PackageIdentifier, .PackageVersion, .ManifestType, .ManifestVersion, .DefaultLocale,
  .InstallerType, .Scope, .UpgradeBehavior, .InstallerSwitches.Silent, .InstallerSwitches.SilentWithProgress, (.Installers[]? |
  .Architecture, .InstallerUrl, (.InstallerSha256 | ascii_downcase)), .PackageLocale, .Publisher, .PackageName, .License, .LicenseUrl,
  (.ShortDescription | values | length > 0), (.Description | values | test("Windows 2000 or later")), .ReleaseNotesUrl] | map(values | tostring) | join("|")' "$y.yaml" \
  "$y.installer.yaml" "$y.locale.en-US.yaml" | tr '\n' ' ')" "HALCYRA.VANTREL|$version|version|1.12.0|en-US \
HALCYRA.VANTREL|$version|installer|1.12.0|nullsoft|user|install|/S|/S|x86|$url/vantrel-$version-setup.exe|$(sha256sum "$setup" | cut -c1-64) \
HALCYRA.VANTREL|$version|defaultLocale|1.12.0|en-US|HALCYRA|VANTREL|MIT|$url/license.txt|true|true|$url/RELEASE-NOTES.md "
expect_eq "Scoop manifest" "$(jq -r '[.version, .url, .hash, .bin, (.shortcuts[0] | join(",")), .homepage, .license,
  (.description | length > 0), .checkver.url, .autoupdate.url, .autoupdate.hash.url] | map(tostring) | join("|")' \
  "$T/signed/scoop/vantrel.json")" "$version|$url/vantrel-$version.zip|$(sha256sum "$T/signed/vantrel-$version.zip" | cut -c1-64)|\
vantrel.exe|vantrel.exe,VANTREL|$url/|MIT|true|$url/SHA256SUMS|$url/vantrel-\$version.zip|$url/SHA256SUMS"

# The installer is checked where its program runs: a host without 32-bit
# support gets a 64-bit installer made the same way around the 64-bit twin.
installed_exe=$signed_exe
if [ "$VANTREL_EXE" != "$shipped" ]; then
  echo "SKIP: the 32-bit installer and the signed exe: this host runs no 32-bit code"; signed_ok=""
  echo "note: the install checks below run a 64-bit installer built around $VANTREL_EXE"
  sh "$root/scripts/release.sh" --exe "$VANTREL_EXE" --out "$T/dist64" >/dev/null ||
    fail "release.sh --exe $VANTREL_EXE failed"
  setup="$T/dist64/vantrel-$version-x64-setup.exe"
  installed_exe=$VANTREL_EXE
else  # one byte flipped inside the signature: the self-check ends the program
  cp "$signed_exe" "$APP/flipped.exe" && printf '\377' | dd of="$APP/flipped.exe" bs=1 conv=notrunc 2>/dev/null \
    seek=$(($(wc -c < "$shipped") + 100)) && ! cmp -s "$signed_exe" "$APP/flipped.exe" || fail "no byte flipped"
  (cd "$APP" && WINEDEBUG=-all,warn+debugstr timeout 60 "$WINE_RUN" "$PROBE_EXE" run flipped.exe "" 2>"$T/flipped.err")
  expect_eq "signature byte flipped: exit code, trace lines" "$? $(grep -c VANTREL "$T/flipped.err")" "0 0"
fi

# The installed program runs on Wine's own device stack, not the fake one.
wine_plain() { WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" "$@"; }
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VANTREL'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
unixdir() { "$WINE_RUN" winepath -u "$("$WINE_RUN" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
instdir="$(unixdir LOCALAPPDATA)/Programs/VANTREL"
wininst=$(winpath "$instdir")
shortcut="$(unixdir APPDATA)/Microsoft/Windows/Start Menu/Programs/VANTREL.lnk"
installed() {
  for f in "$instdir"/* "$shortcut"; do [ -e "$f" ] && basename "$f"; done | tr '\n' ' '
}
all_installed="eject-backup.ini guide.txt license.txt readme.txt uninstall.exe vantrel.exe VANTREL.lnk "
# Starts the installed program as logon would, from the Run value.
start_installed() {
  bg_run installed wine_plain "$(reg_value "$run" VANTREL | tr -d '"')" >/dev/null 2>&1
  probe wait-window 30 || fail "the installed program did not start resident"
}
stale_cleanup() {
  [ -z "${DESK_SIGNALLED:-}" ] || return 0
  end_resident 10 >/dev/null 2>&1
  rm -rf "$instdir" "$shortcut"
  "$WINE_RUN" reg delete "$uninst" /f >/dev/null 2>&1
  "$WINE_RUN" reg delete "$run" /v VANTREL /f >/dev/null 2>&1
}
desk_trap 'stale_cleanup; cleanup'
stale_cleanup

expect_rc "silent install: exit code" 0 wine_plain "$setup" /S
expect_eq "installed files and shortcut" "$(installed)" "$all_installed"
expect_rc "installed exe is the packaged one" 0 cmp "$installed_exe" "$instdir/vantrel.exe"
expect_eq "installed uninstaller's signature" "$(signature "$instdir/uninstall.exe")" "$signed_ok"
expect_eq "winget's Apps-and-features entry is the installed one" "$(yq -r '.AppsAndFeaturesEntries[] | [.DisplayName,
  .Publisher, .DisplayVersion, .ProductCode] | join("|")' "$y.installer.yaml")" "$(for v in DisplayName Publisher \
  DisplayVersion; do reg_value "$uninst" $v; done | tr '\n' '|')${uninst##*\\}"
expect_eq "Run value" "$(reg_value "$run" VANTREL)" "\"$wininst\\vantrel.exe\""
expect_eq "uninstall entry" \
  "$(for v in DisplayName DisplayVersion Publisher DisplayIcon UninstallString; do reg_value "$uninst" $v; done | tr '\n' '|')" \
  "VANTREL|$version|HALCYRA|$wininst\\vantrel.exe,0|\"$wininst\\uninstall.exe\"|"
expect_rc "a silent install starts nothing" 0 probe wait-gone 0

start_installed
reg_set "$KEY\\Disbale" 00 REG_SZ "Kingfisher"
expect_rc "update over a running copy: exit code" 0 wine_plain "$setup" /S
expect_eq "update over a running copy: the copy ended" "$(exit_code installed)" 0
expect_eq "update over a running copy: files" "$(installed)" "$all_installed"

# Turned off by the user, starting at logon stays off across an update.
"$WINE_RUN" reg delete "$run" /v VANTREL /f >/dev/null 2>&1
wine_plain "$setup" /S
expect_eq "update keeps logon start off" "$(reg_value "$run" VANTREL)" ""
"$WINE_RUN" reg add "$run" /v VANTREL /d "\"$wininst\\vantrel.exe\"" /f >/dev/null 2>&1

start_installed
expect_rc "silent uninstall: exit code" 0 wine_plain "$instdir/uninstall.exe" /S
# The uninstaller finishes from a copy of itself in the temporary folder.
poll 20 test ! -e "$instdir"
expect_eq "uninstall: the running copy ended" "$(exit_code installed)" 0
expect_eq "uninstall: files, folder and shortcut gone" "$(installed)$([ -e "$instdir" ] && echo folder)" ""
expect_eq "uninstall: Run value gone" "$(reg_value "$run" VANTREL)" ""
expect_rc "uninstall: uninstall entry gone" 1 "$WINE_RUN" reg query "$uninst"
expect_eq "uninstall: settings kept" "$(reg_value "$KEY\\Disbale" 00)" "Kingfisher"

# Clicked through (Next, Install, Close), the installer starts the program
# at the end. Each page's button is pressed once it shows, enabled: "&Close"
# is there, disabled (style 0x08000000), while the files are copied.
wizard="VANTREL $version Setup "  # the installer's caption ends in a space
button_shows() { dlg controls "$wizard" "MS Shell Dlg" 8 2>/dev/null | tr -d '\r' |
  awk -F'|' -v t="$1" '$1 == 1 && $3 == t && substr($4, 4, 1) ~ /[0-7]/ { on = 1 } END { exit !on }'; }
bg_run setup wine_plain "$setup" >/dev/null 2>&1
for button in "&Next >" "&Install" "&Close"; do
  poll 30 button_shows "$button" || { echo "no \"$button\" in the installer" >&2; break; }
  dlg click "$wizard" 1 >/dev/null
done
expect_eq "interactive install: exit code" "$(exit_code setup)" 0
expect_rc "interactive install: the program started" 0 probe wait-window 20
expect_eq "interactive install: logon start on by default" "$(reg_value "$run" VANTREL)" \
  "\"$wininst\\vantrel.exe\""
finish
