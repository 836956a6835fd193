#!/bin/sh
# The shipped program's shape: PE32 i386 GUI, a valid header checksum (by
# the program's own routine, through pestamp), its resources, and imports
# from Windows system DLLs only, none of them a wide-character function.
# Needs no Wine.
# usage: check_exe.sh OBJDUMP EXE PESTAMP
objdump=$1 exe=$2 pestamp=$3
dump=$("$objdump" -p "$exe") || exit 1
resources=$(wrestool -l "$exe") || exit 1
bad=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1" >&2; bad=1; fi; }
has() { printf '%s\n' "$1" | grep -q -- "$2"; }
check "PE32" 'has "$dump" "Magic.*(PE32)$"'
check "i386" 'has "$dump" "file format pei-i386"'
check "GUI subsystem" 'has "$dump" "Subsystem.*(Windows GUI)"'
check "header checksum valid" '"$pestamp" --check "$exe"'

for id in 200 201 210 211 212 213 $(seq 220 231); do
  check "icon $id" 'has "$resources" "^--type=14 --name=$id "'
done
manifest=$(wrestool -x -R --type=24 "$exe" 2>/dev/null)
check "manifest asks for common controls 6 (x86)" \
  'has "$manifest" "Microsoft.Windows.Common-Controls" && has "$manifest" "6\.0\.0\.0" &&
   has "$manifest" "processorArchitecture=\"[xX]86\""'
version=$(wrestool -x -R --type=16 "$exe" 2>/dev/null | tr -d '\000')
for name in FileDescription FileVersion LegalCopyright Translation; do
  check "version resource: $name" 'has "$version" "$name"'
done
for id in 100 101; do
  check "dialog $id" 'has "$resources" "^--type=5 --name=$id "'
done

imports=$(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
echo "imports: $imports"
check "imports from KERNEL32" 'has "$imports" "KERNEL32.DLL"'
for dll in $imports; do
  case $dll in
    ADVAPI32.DLL|COMCTL32.DLL|GDI32.DLL|IMAGEHLP.DLL|KERNEL32.DLL|MSVCRT.DLL|SETUPAPI.DLL|\
    SHELL32.DLL|USER32.DLL|VERSION.DLL) ;;
    *) echo "FAIL: imports $dll" >&2; bad=1 ;;
  esac
done
# Function rows of the import tables: hint-name address, hint, name.
wide=$(printf '%s\n' "$dump" | awk '/Import Tables/,/Export Tables|^PE File Base/' |
       awk '$1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF == 3 {print $3}' | grep -E '[a-z0-9_]W$')
check "no wide-character imports${wide:+ (got: $(echo $wide))}" '[ -z "$wide" ]'
# The program reads no environment (only its test build has a fault switch).
env=$(printf '%s\n' "$dump" | grep -oE '(GetEnvironment[A-Za-z]*|[_]*w?getenv[_a-z]*)$' | sort -u)
check "reads no environment${env:+ (got: $(echo $env))}" '[ -z "$env" ]'
echo "size: $(wc -c < "$exe") bytes"
exit $bad
