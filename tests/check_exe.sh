#!/bin/sh
# The shipped program's shape: PE32 i386, GUI subsystem, imports from
# Windows system DLLs only, version resource present. Needs no Wine.
# usage: check_exe.sh OBJDUMP EXE
objdump=$1 exe=$2
dump=$("$objdump" -p "$exe") || exit 1
bad=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1" >&2; bad=1; fi; }
check "PE32" 'printf "%s\n" "$dump" | grep -q "Magic.*(PE32)$"'
check "i386" 'printf "%s\n" "$dump" | grep -q "file format pei-i386"'
check "GUI subsystem" 'printf "%s\n" "$dump" | grep -q "Subsystem.*(Windows GUI)"'
imports=$(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
echo "imports: $imports"
for dll in $imports; do
  case $dll in
    ADVAPI32.DLL|GDI32.DLL|KERNEL32.DLL|MSVCRT.DLL|SETUPAPI.DLL|SHELL32.DLL|USER32.DLL|COMCTL32.DLL|VERSION.DLL) ;;
    *) echo "FAIL: imports $dll" >&2; bad=1 ;;
  esac
done
check "no UNICODE entry point" '! printf "%s\n" "$dump" | grep -q "wWinMain"'
echo "size: $(wc -c < "$exe") bytes"
exit $bad
