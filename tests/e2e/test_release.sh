#!/bin/sh
# The release: the zip's contents, and the installer run silently under Wine
# (install, update over a running copy, uninstall).
. "$E2E_LIB"
. "$(dirname "$E2E_LIB")/dialogs.sh"
root=$(cd "$(dirname "$E2E_LIB")/../.." && pwd)
shipped="$root/build/win/vantrel.exe"
version=$(sed -n 's/^#define VANTREL_VERSION_TEXT "\(.*\)"$/\1/p' "$root/res/version.h")

sh "$root/scripts/release.sh" --exe "$shipped" --out "$T/dist" >/dev/null || fail "release.sh failed"
zip="$T/dist/vantrel-$version.zip"
setup="$T/dist/vantrel-$version-setup.exe"
expect_eq "release files" "$(ls "$T/dist" | tr '\n' ' ')" \
  "SHA256SUMS vantrel-$version-setup.exe vantrel-$version.zip "
(cd "$T/dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
expect_eq "zip contents" "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" \
  "eject-backup.ini guide.txt readme.txt vantrel.exe "
mkdir "$T/unzipped"
unzip -q "$zip" -d "$T/unzipped"
cmp -s "$shipped" "$T/unzipped/vantrel.exe"
expect_eq "zipped exe is the build" "$?" 0
sh "$root/tests/check_exe.sh" i686-w64-mingw32-objdump "$T/unzipped/vantrel.exe" "$root/build/native/pestamp" >/dev/null
expect_eq "zipped exe passes the shape check" "$?" 0
expect_eq "zipped guide is docs/guide.md" "$(tr -d '\r' < "$T/unzipped/guide.txt" | cmp - "$root/docs/guide.md")" ""
expect_eq "installer's own version" "$(strings -el "$setup" | sed -n '/^ProductVersion$/{n;p;q}')" "$version"
grep -q 'level="asInvoker"' "$setup"
expect_eq "installer asks for no administrator rights" "$?" 0

# The installer is checked where its program runs: a host without 32-bit
# support gets a 64-bit installer made the same way around the 64-bit twin.
installed_exe=$shipped
if [ "$VANTREL_EXE" != "$shipped" ]; then
  echo "SKIP: the 32-bit installer: this host runs no 32-bit code"
  echo "note: the install checks below run a 64-bit installer built around $VANTREL_EXE"
  sh "$root/scripts/release.sh" --exe "$VANTREL_EXE" --out "$T/dist64" >/dev/null ||
    fail "release.sh --exe $VANTREL_EXE failed"
  setup="$T/dist64/vantrel-$version-x64-setup.exe"
  installed_exe=$VANTREL_EXE
fi

need_desktop
# The installed program runs on Wine's own device stack, not the fake one.
wine_plain() { WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" "$@"; }
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VANTREL'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings='HKCU\Software\HALCYRA\VANTREL'
unixdir() { "$WINE_RUN" winepath -u "$("$WINE_RUN" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
instdir="$(unixdir LOCALAPPDATA)/Programs/VANTREL"
wininst=$("$WINE_RUN" winepath -w "$instdir" 2>/dev/null)
shortcut="$(unixdir APPDATA)/Microsoft/Windows/Start Menu/Programs/VANTREL.lnk"
reg_value() { "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
installed() {
  for f in "$instdir"/* "$shortcut"; do [ -e "$f" ] && basename "$f"; done | tr '\n' ' '
}
# Starts the installed program as logon would, from the Run value.
start_installed() {
  rm -f "$T/installed.rc"
  (wine_plain "$(reg_value "$run" VANTREL | tr -d '"')" >/dev/null 2>&1; echo $? > "$T/installed.rc") &
  probe wait-window 30 || fail "the installed program did not start resident"
}
stale_cleanup() {
  [ -z "${DESK_SIGNALLED:-}" ] || return 0
  probe command $ID_EXIT >/dev/null 2>&1 && probe wait-gone 10 >/dev/null 2>&1
  rm -rf "$instdir" "$shortcut"
  "$WINE_RUN" reg delete "$uninst" /f >/dev/null 2>&1
  "$WINE_RUN" reg delete "$run" /v VANTREL /f >/dev/null 2>&1
}
desk_trap 'stale_cleanup; cleanup'
stale_cleanup

wine_plain "$setup" /S
expect_eq "silent install: exit code" "$?" 0
expect_eq "installed files and shortcut" "$(installed)" \
  "eject-backup.ini guide.txt readme.txt uninstall.exe vantrel.exe VANTREL.lnk "
cmp -s "$installed_exe" "$instdir/vantrel.exe"
expect_eq "installed exe is the packaged one" "$?" 0
expect_eq "Run value" "$(reg_value "$run" VANTREL)" "\"$wininst\\vantrel.exe\""
expect_eq "uninstall entry" \
  "$(for v in DisplayName DisplayVersion Publisher DisplayIcon UninstallString; do reg_value "$uninst" $v; done | tr '\n' '|')" \
  "VANTREL|$version|HALCYRA|$wininst\\vantrel.exe,0|\"$wininst\\uninstall.exe\"|"
probe wait-gone 0 >/dev/null
expect_eq "a silent install starts nothing" "$?" 0

start_installed
reg_set "$settings\\Disbale" 00 REG_SZ "Kingfisher"
wine_plain "$setup" /S
expect_eq "update over a running copy: exit code" "$?" 0
wait_file "$T/installed.rc"
expect_eq "update over a running copy: the copy ended" "$(cat "$T/installed.rc" 2>/dev/null)" 0
expect_eq "update over a running copy: files" "$(installed)" \
  "eject-backup.ini guide.txt readme.txt uninstall.exe vantrel.exe VANTREL.lnk "

# Turned off by the user, starting at logon stays off across an update.
"$WINE_RUN" reg delete "$run" /v VANTREL /f >/dev/null 2>&1
wine_plain "$setup" /S
expect_eq "update keeps logon start off" "$(reg_value "$run" VANTREL)" ""
"$WINE_RUN" reg add "$run" /v VANTREL /d "\"$wininst\\vantrel.exe\"" /f >/dev/null 2>&1

start_installed
wine_plain "$instdir/uninstall.exe" /S
expect_eq "silent uninstall: exit code" "$?" 0
# The uninstaller finishes from a copy of itself in the temporary folder.
poll 20 test ! -e "$instdir"
wait_file "$T/installed.rc"
expect_eq "uninstall: the running copy ended" "$(cat "$T/installed.rc" 2>/dev/null)" 0
expect_eq "uninstall: files, folder and shortcut gone" "$(installed)$([ -e "$instdir" ] && echo folder)" ""
expect_eq "uninstall: Run value gone" "$(reg_value "$run" VANTREL)" ""
"$WINE_RUN" reg query "$uninst" >/dev/null 2>&1
expect_eq "uninstall: uninstall entry gone" "$?" 1
expect_eq "uninstall: settings kept" "$(reg_value "$settings\\Disbale" 00)" "Kingfisher"

# Clicked through (Next, Install, Close), the installer starts the program
# at the end. Each page's button is pressed once it shows.
wizard="VANTREL $version Setup "  # the installer's caption ends in a space
button_shows() { [ "$(dlg text "$wizard" 1 2>/dev/null | tr -d '\r')" = "$1" ]; }
rm -f "$T/setup.rc"
(wine_plain "$setup" >/dev/null 2>&1; echo $? > "$T/setup.rc") &
for button in "&Next >" "&Install" "&Close"; do
  poll 30 button_shows "$button" || { echo "no \"$button\" in the installer" >&2; break; }
  dlg click "$wizard" 1 >/dev/null
done
wait_file "$T/setup.rc"
expect_eq "interactive install: exit code" "$(cat "$T/setup.rc" 2>/dev/null)" 0
probe wait-window 20
expect_eq "interactive install: the program started" "$?" 0
expect_eq "interactive install: logon start on by default" "$(reg_value "$run" VANTREL)" \
  "\"$wininst\\vantrel.exe\""
finish
