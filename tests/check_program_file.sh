#!/bin/sh
# Checks a built Windows program the way a user's Windows 7 SP1 or later would take it:
# every DLL it imports is one of Windows' own, and its subsystem version lets it start there.
#   check_program_file.sh OBJDUMP PROGRAM
set -eu
# Tool output and sort order as the checks expect them, whatever the caller's locale.
export LC_ALL=C
objdump=$1
program=$2

headers=$("$objdump" -p "$program")
dlls=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ -z "$dlls" ]; then
  echo "$program: no import table found"
  exit 1
fi

status=0
for dll in $dlls; do
  case $(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]') in
    kernel32.dll | user32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
      msimg32.dll | msvcrt.dll | advapi32.dll | comctl32.dll | comdlg32.dll | shlwapi.dll | \
      uxtheme.dll | version.dll | imm32.dll | winmm.dll | ntdll.dll)
      echo "imports $dll"
      ;;
    *)
      echo "$program imports a DLL outside Windows: $dll"
      status=1
      ;;
  esac
done

major=$(printf '%s\n' "$headers" | sed -n 's/^MajorSubsystemVersion[[:space:]]*//p')
minor=$(printf '%s\n' "$headers" | sed -n 's/^MinorSubsystemVersion[[:space:]]*//p')
if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 601 ]; then
  echo "$program needs a Windows newer than 7 (subsystem version $major.$minor)"
  status=1
else
  echo "subsystem version $major.$minor: starts on Windows 7"
fi
exit $status
