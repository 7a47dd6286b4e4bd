#!/usr/bin/env bash
# Checks that a Windows program imports only system DLLs of Windows 95 and
# NT 4.0, and only entry points those systems have: ANSI (A) functions, no W
# functions but the few that the C++ run time references (Windows 95 exports
# them as stubs), and none of the functions added after NT 4.0.
set -euo pipefail
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

allowed_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|LZ32|WINMM|COMCTL32|COMDLG32|VERSION|MSVCRT)\.DLL$'
runtime_w='^(CreateSemaphoreW|GetModuleHandleW|LoadLibraryW|MultiByteToWideChar|WideCharToMultiByte|wcslen|GetModuleFileNameW|CreateEventW|OutputDebugStringW|GetStartupInfoW)$'
# Entry points that Windows 95 or NT 4.0 lack.
newer='^(GetFileSizeEx|SetFilePointerEx|GetFileAttributesExA|CreateHardLinkA|GetLongPathNameA|GetTickCount64|InitializeCriticalSectionEx|InitializeCriticalSectionAndSpinCount|AddVectoredExceptionHandler|GetSystemTimePreciseAsFileTime|GetDiskFreeSpaceExA|MoveFileWithProgressA|GetConsoleWindow|AttachConsole|SetDllDirectoryA|GetProcessId|LockSetForegroundWindow|AllowSetForegroundWindow|GetLayeredWindowAttributes|SetLayeredWindowAttributes|SHGetFolderPathA|SHGetKnownFolderPath|GetNativeSystemInfo|IsWow64Process|FlsAlloc|FlsGetValue|FlsSetValue|FlsFree|CreateSymbolicLinkA|GetVersionExW|SHCreateDirectoryExA|WTSGetActiveConsoleSessionId)$'

check() {
local file=$1 bad=0 dll=""
while IFS= read -r line; do
  case "$line" in
    *"DLL Name:"*)
      dll=$(echo "${line##*: }" | tr 'a-z' 'A-Z')
      if ! [[ $dll =~ $allowed_dlls ]]; then echo "not a system DLL of the target: $dll"; bad=1; fi
      ;;
    *)
      name=$(echo "$line" | awk 'NF>=3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}')
      [ -n "$name" ] || continue
      if [[ $name =~ W$ ]] && [[ $dll != MSVCRT.DLL ]] && ! [[ $name =~ $runtime_w ]]; then
        echo "wide entry point: $dll $name"; bad=1
      fi
      if [[ $name =~ $newer ]]; then echo "newer than Windows 95 / NT 4.0: $dll $name"; bad=1; fi
      ;;
  esac
done < <("$objdump" -p "$file" | sed -n '/The Import Tables/,/^$/p;/DLL Name/,/^$/p')

subsystem=$("$objdump" -p "$file" | awk '/MajorSubsystemVersion/{print $2}')
if [ "$subsystem" != 4 ]; then echo "subsystem version $subsystem, not 4.0"; bad=1; fi
[ $bad -eq 0 ] && echo "$(basename "$file"): imports fit Windows 95 and NT 4.0"
return $bad
}

status=0
for f in "$@"; do check "$f" || status=1; done
exit $status
