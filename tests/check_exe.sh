#!/bin/sh
# The shipped program's shape: PE32 i386 GUI, a valid header checksum (by
# the program's own routine, through pestamp), its resources, and imports
# from Windows system DLLs only, none of them a wide-character function and
# each one present on Windows 2000 (tests/data/imports-win2000.txt).
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

for r in $(seq -f icon:%g 200 201) $(seq -f icon:%g 210 213) $(seq -f icon:%g 220 231) dialog:100 dialog:101; do
  id=${r#*:} type=14; [ "${r%:*}" = icon ] || type=5
  check "${r%:*} $id" 'has "$resources" "^--type=$type --name=$id "'
done
manifest=$(wrestool -x -R --type=24 "$exe" 2>/dev/null)
check "manifest asks for common controls 6 (x86)" \
  'has "$manifest" "Microsoft.Windows.Common-Controls" && has "$manifest" "6\.0\.0\.0" &&
   has "$manifest" "processorArchitecture=\"[xX]86\""'
check "manifest declares system DPI awareness" 'has "$manifest" "<dpiAware>true</dpiAware>"'
version=$(wrestool -x -R --type=16 "$exe" 2>/dev/null | tr -d '\000')
for name in FileDescription FileVersion LegalCopyright Translation; do
  check "version resource: $name" 'has "$version" "$name"'
done

imports=$(printf '%s\n' "$dump" | sed -n 's/.*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
echo "imports: $imports"
check "imports from KERNEL32" 'has "$imports" "KERNEL32.DLL"'

# The floor is Windows 2000 (NT 5.0): the header asks for nothing later, and
# every import is one of the table's (DLL function) pairs.
for field in OSystem Subsystem; do  # v: major * 100 + minor
  v=$(printf '%s\n' "$dump" | awk -v f="$field" '$1 == "Major" f "Version" {M = $2}
    $1 == "Minor" f "Version" {m = $2} END {print M == "" ? 9999 : M * 100 + m}')
  check "$field version $((v / 100)).$((v % 100)) is at most 5.0" '[ "$v" -le 500 ]'
done
allowed=$(awk '/^#/ {next} /^[^ ]/ {dll = $1; first = 2} /^ / {first = 1}
  {for (i = first; i <= NF; i++) print dll, $i}' "$(dirname "$0")/data/imports-win2000.txt")
for dll in $imports; do
  check "$dll is in the Windows 2000 table" 'printf "%s\n" "$allowed" | grep -q "^$dll "'
done
# Function rows of the import tables (hint-name address, hint, name) as "DLL name".
functions=$(printf '%s\n' "$dump" | awk '/Import Tables/,/Export Tables|^PE File Base/' |
  awk '/DLL Name:/ {dll = toupper($3)} $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF == 3 {print dll, $3}')
newer=$(printf '%s\n' "$functions" | grep -vxF -e "$allowed")
check "every import is one Windows 2000 has${newer:+ (not in the table: $(echo $newer))}" \
  '[ -z "$newer" ]'

wide=$(printf '%s\n' "$functions" | sed 's/.* //' | grep -E '[a-z0-9_]W$')
check "no wide-character imports${wide:+ (got: $(echo $wide))}" '[ -z "$wide" ]'
# The program reads no environment (only its test build has a fault switch).
env=$(printf '%s\n' "$dump" | grep -oE '(GetEnvironment[A-Za-z]*|[_]*w?getenv[_a-z]*)$' | sort -u)
check "reads no environment${env:+ (got: $(echo $env))}" '[ -z "$env" ]'
echo "size: $(wc -c < "$exe") bytes"
exit $bad
