#!/bin/sh
# Batch mode: the real list reader and the real command line, against the
# sample desk (USB stick 10 with a disk 11 and a volume 12 below it, player
# 20, input device 30, optical drive 40, printer 50, enclosure 60 with bridge
# 64, disk 61 and volume 62, phone 110, card reader 120, camera 130 with a problem).
. "$E2E_LIB"

WLIST=$(winpath "$T/list.ini")

# case name, list body, expected "devInst name" lines (joined by '|')
batch() {
  printf '%b' "$2" > "$T/list.ini"
  batch_run "$1: ejects" "$WLIST" "$3"
  expect_eq "$1: exit code" "$rc" 0
}

batch "own name" '[VANTRL]\n00=USB Mass\n' "10 USB Mass Storage Device"
batch "chain member only, one request for the top node" '[VANTRL]\n00=Generic vol\n' \
  "10 USB Mass Storage Device"
batch "one prefix, two devices, table order" '[VANTRL]\n00=USB \n' \
  "10 USB Mass Storage Device|30 USB Input Device"
batch "two prefixes, one device, two requests" '[VANTRL]\n00=USB Mass\n01=Kingfisher\n' \
  "10 USB Mass Storage Device|10 USB Mass Storage Device"
batch "letter case matters" '[VANTRL]\n00=usb\n01=POCKET\n' ""
batch "prefix equal to the name, and one longer" \
  '[VANTRL]\n00=Slim Optical Writer\n01=Pocket Player 8GBX\n' "40 Slim Optical Writer"
batch "list ends at the first gap" '[VANTRL]\n00=Slim\n02=Pocket\n' "40 Slim Optical Writer"
batch "empty first entry" '[VANTRL]\n00=\n01=Slim\n' ""
batch "devices that are not removable" '[VANTRL]\n00=ACPI\n01=USB Root\n' ""
batch "other sections and junk lines" \
  '; eject list\n[OTHER]\n00=Slim\n\nthis is not a key\n[VANTRL]\n# comment\n00=Archive\n[MORE]\n01=Pocket\n' \
  "60 External SCSI Enclosure"

entries='[VANTRL]\n'
for k in $(seq 0 30); do entries="${entries}$(printf '%02d' "$k")=NoSuchDevice\n"; done
batch "entry 31 is read" "${entries}31=Pocket\n" "20 Pocket Player 8GB"
batch "entry 32 is not" "${entries}31=NoSuchDevice\n32=Pocket\n" ""

long=$(printf 'U%.0s' $(seq 1 254))
batch "a 255-character entry" "[VANTRL]\n00=${long}X\n01=Slim\n" "40 Slim Optical Writer"

# A device with a problem code is not asked in batch mode; the hide list of
# the resident mode does not apply here.
cat >> "$T/desk.tree" <<'TREE'
70 | 2 | 0x1806400 | 28 | {36FC9E60-C465-11CF-8056-444553540000} | Broken Reader | -
TREE
"$WINE_RUN" reg add "$KEY\\Disbale" /v 00 /d Slim /f >/dev/null 2>&1
batch "problem device skipped, hide list ignored" '[VANTRL]\n00=Broken\n01=Slim\n' \
  "40 Slim Optical Writer"
fresh_settings

# A device in use refuses; the list goes on.
sed -i '/^40 /s/$/ | veto/' "$T/desk.tree"
batch "a refused eject, the next still asked" '[VANTRL]\n00=Slim\n01=Pocket\n' \
  "40 Slim Optical Writer|20 Pocket Player 8GB"
sed -i '/^40 /s/ | veto$//' "$T/desk.tree"

# Paths with spaces, as scripts and shortcuts pass them.
mkdir -p "$T/my lists"
printf '[VANTRL]\n00=Pocket\n' > "$T/my lists/backup disk.ini"
spaced=$(winpath "$T/my lists/backup disk.ini")
batch_run "unquoted path with spaces" "$spaced" "20 Pocket Player 8GB"
batch_run "quoted path with spaces" "\"$spaced\"" "20 Pocket Player 8GB"
batch_run "quoted path, trailing blanks" "\"$spaced\"  " "20 Pocket Player 8GB"
batch_run "an opening quote alone stays" "\"$spaced" ""
batch_run "missing list file" "$(winpath "$T/none.ini")" ""

# The command line may hold 1023 characters, not 1024. Both reach the same
# file through ".\" steps; the file name evens out the length.
printf '[VANTRL]\n00=Slim\n' > "$T/a.ini"; cp "$T/a.ini" "$T/ab.ini"
dir=$(winpath "$T")
path_of_length() {
  n=$1; p="$dir"
  while [ $(( ${#p} + 2 + 6 )) -le "$n" ]; do p="$p\\."; done
  rest=$(( n - ${#p} ))
  if [ "$rest" -eq 6 ]; then p="$p\\a.ini"; else p="$p\\ab.ini"; fi
  printf '%s' "$p"
}
p1023=$(path_of_length 1023); p1024=$(path_of_length 1024)
expect_eq "length of the long paths" "${#p1023} ${#p1024}" "1023 1024"
batch_run "1023 characters read" "$p1023" "40 Slim Optical Writer"
batch_run "1024 characters refused" "$p1024" ""

expect_rc "nothing written to the registry" 1 "$WINE_RUN" reg query "${KEY%\\*}"

finish
