#!/bin/sh
# Formats the program code (app/, devices/, tray/, settings/) as
# .clang-format says. With --check it changes nothing, names each file that
# is not formatted and fails; scripts/test.sh runs it so.
cd "$(dirname "$0")/.." || exit 1
tool=$(command -v clang-format-14 || command -v clang-format) ||
  { echo "format: clang-format-14 is missing (sh scripts/deps.sh installs it)"; exit 1; }
files=$(ls app/*.cpp app/*.h devices/*.cpp devices/*.h tray/*.cpp tray/*.h \
           settings/*.cpp settings/*.h 2>/dev/null)
if [ "${1:-}" != --check ]; then
  exec "$tool" -i $files
fi
bad=""
for f in $files; do
  "$tool" --dry-run --Werror "$f" >/dev/null 2>&1 || bad="$bad $f"
done
[ -z "$bad" ] || { echo "format: not formatted (run sh scripts/format.sh):$bad"; exit 1; }
echo "format: program code formatted"
