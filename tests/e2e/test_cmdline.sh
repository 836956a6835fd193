#!/bin/sh
# Command lines with code page 932 bytes: the program's own path and the list
# path, as a Japanese Windows hands them over. Bytes 0x80-0xFF are text.
. "$E2E_LIB"
# Wine takes the ANSI code page from the locale; Japanese gives 932. The
# host may not have that locale, so it is made here.
localedef -i ja_JP -f UTF-8 "$T/ja_JP.UTF-8" >/dev/null 2>&1 || fail "localedef ja_JP.UTF-8"
export LOCPATH="$T" LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8

tool="$T/ツール"
mkdir -p "$tool"
cp "$APP/vantrel.exe" "$APP/setupapi.dll" "$tool/"
exe=$(winpath "$tool/vantrel.exe")
case $exe in *ツール*) ;; *) fail "no Japanese path from winepath" ;; esac

# A bare file name is looked up in the Windows folder, so the list name is
# the first thing after the program's name.
windir=$("$WINE_RUN" winepath -u 'C:\windows' 2>/dev/null)
list="$windir/リスト.ini"
printf '[VANTRL]\n00=Pocket\n' > "$list"
desk_trap 'rm -f "$list"; cleanup'

expect_rc "unquoted Japanese name, Japanese list: exit code" 0 probe run-exact "$exe" "$exe リスト.ini"
expect_eq "unquoted Japanese name, Japanese list: ejects" "$(ejects)" "20 Pocket Player 8GB"

replug
probe run-exact "$exe" "\"$exe\"	\"$(winpath "$list")\"" >/dev/null 2>&1
expect_eq "quoted name, tab, quoted full list path" "$(ejects)" "20 Pocket Player 8GB"

# Nothing after the name: resident, not a batch run of the name's tail.
: > "$FAKEDEV_EJECT_LOG"
bg_run resident probe run-exact "$exe" "$exe  " >/dev/null 2>&1
RESIDENT=1
expect_rc "unquoted Japanese name alone: resident window" 0 probe wait-window 30
stop_resident "resident exit code"
expect_eq "resident: no ejects" "$(ejects)" ""

finish
