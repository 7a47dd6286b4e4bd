#!/usr/bin/env bash
# Checks that Windows programs and libraries load on a bare Windows 95 and on
# NT 4.0: they import only DLLs that those systems have, with CRTDLL.DLL as
# the C run time (a bare Windows 95 has no msvcrt.dll, and Windows refuses to
# start a program that imports a DLL it lacks), only ANSI (A) entry points
# (Windows 95 exports most W functions as stubs that fail) and none of the
# functions added after NT 4.0 (listed in newer-imports.txt). Nor may a file
# name msvcrt at all: that would be a way round the import table (LoadLibrary).
#
#   check-imports.sh FILE... [--suite-program FILE...]
#
# The files after --suite-program are stand-ins of the suite's own programs,
# which bring their C run time with them: they may import msvcrt.dll and the
# few W functions that its C++ run time references.
set -euo pipefail
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
strings=${STRINGS:-i686-w64-mingw32-strings}

system_dlls='KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|LZ32|WINMM|COMCTL32|COMDLG32|VERSION'
runtime_w='^(CreateSemaphoreW|GetModuleHandleW|LoadLibraryW|wcslen|GetModuleFileNameW|CreateEventW|OutputDebugStringW|GetStartupInfoW)$'
# Entry points that Windows 95 or NT 4.0 lack, one a line beside this script.
newer_list=$(dirname "${BASH_SOURCE[0]}")/newer-imports.txt
declare -A newer=()
if [ ! -r "$newer_list" ]; then echo "check-imports: cannot read the list of newer entry points $newer_list" >&2; exit 2; fi
while IFS= read -r entry || [ -n "$entry" ]; do
  entry=${entry%%#*}
  entry=${entry//[[:space:]]/}
  [ -z "$entry" ] || newer[$entry]=1
done <"$newer_list"
# An empty list would let every program pass.
if [ ${#newer[@]} -eq 0 ]; then echo "check-imports: no entry point in $newer_list" >&2; exit 2; fi

# check FILE SUITE: SUITE is 1 for a stand-in of the suite's own programs.
check() {
local file=$1 suite=$2 bad=0 dll="" allowed
if [ "$suite" = 1 ]; then allowed="^($system_dlls|MSVCRT|CRTDLL)\\.DLL\$"; else allowed="^($system_dlls|CRTDLL)\\.DLL\$"; fi
if ! "$objdump" -p "$file" >/dev/null 2>&1; then echo "$file: not a Windows program or library"; return 1; fi
while IFS= read -r line; do
  case "$line" in
    *"DLL Name:"*)
      dll=${line##*: }
      dll=${dll^^}
      if [ "$dll" = MSVCRT.DLL ] && [ "$suite" != 1 ]; then
        echo "imports msvcrt.dll, which a bare Windows 95 lacks (link with win95_runtime)"; bad=1
      elif ! [[ $dll =~ $allowed ]]; then
        echo "not a system DLL of the target: $dll"; bad=1
      fi
      ;;
    *)
      # "<hint-name address> <ordinal hint> <name>"
      [[ $line =~ ^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+([^[:space:]]+) ]] || continue
      name=${BASH_REMATCH[1]}
      if [[ $name =~ W$ ]] && [[ $dll != MSVCRT.DLL ]] && ! { [ "$suite" = 1 ] && [[ $name =~ $runtime_w ]]; }; then
        echo "wide entry point: $dll $name"; bad=1
      fi
      if [ -n "${newer[$name]:-}" ]; then echo "newer than Windows 95 / NT 4.0: $dll $name"; bad=1; fi
      ;;
  esac
done < <("$objdump" -p "$file" | sed -n '/The Import Tables/,/^$/p;/DLL Name/,/^$/p')

if [ "$suite" != 1 ] && { "$strings" -a "$file"; "$strings" -a -e l "$file"; } | grep -qi 'msvcr'; then
  echo "names msvcrt, a C run time that a bare Windows 95 lacks"; bad=1
fi
subsystem=$("$objdump" -p "$file" | awk '/MajorSubsystemVersion/{print $2}')
if [ "$subsystem" != 4 ]; then echo "subsystem version $subsystem, not 4.0"; bad=1; fi
if [ $bad -eq 0 ]; then
  echo "$(basename "$file"): imports fit Windows 95 and NT 4.0"
else
  echo "$(basename "$file"): does not load on a bare Windows 95 or NT 4.0"
fi
return $bad
}

status=0 suite=0 files=0
for f in "$@"; do
  if [ "$f" = --suite-program ]; then suite=1; continue; fi
  check "$f" "$suite" || status=1
  files=$((files + 1))
done
# A test that names no file must not pass.
if [ $files -eq 0 ]; then echo "usage: check-imports.sh FILE... [--suite-program FILE...]" >&2; exit 2; fi
exit $status
