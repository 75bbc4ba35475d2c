#!/usr/bin/env bash
# The program as built imports only DLLs that Windows protects as known DLLs, and comctl32, which
# its manifest takes from the side-by-side store: for any other name Windows would look beside
# the program first, in the user's Downloads folder. It delay-loads nothing either. A new import
# fails here until it is added to the list on purpose.
#
#   imports_test.sh PROGRAM.exe
set -euo pipefail

program="$1"
readonly allowed=(advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 shell32
  shlwapi user32 ws2_32)

table="$(x86_64-w64-mingw32-objdump -p "$program")"
mapfile -t imported < <(sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\1/Ip' <<<"$table" |
  tr '[:upper:]' '[:lower:]' | sort -u)
((${#imported[@]} > 0)) || { echo "no import table read from $program" >&2; exit 1; }

status=0
for name in "${imported[@]}"; do
  if [[ " ${allowed[*]} " != *" $name "* ]]; then
    echo "imports $name.dll, which is not a known DLL: load it from the system folder at run time" >&2
    status=1
  fi
done
delay="$(sed -n 's/^Entry d \([0-9a-fA-F]*\) \([0-9a-fA-F]*\) Delay Import Directory$/\1 \2/p' <<<"$table")"
if [[ "$delay" != "0000000000000000 00000000" ]]; then
  echo "has a delay-import table ($delay): its DLLs would be looked for beside the program" >&2
  status=1
fi
echo "imports: ${imported[*]}"
exit "$status"
