#!/usr/bin/env bash
# Checks a release zip as a user would receive it: exactly the expected files in one folder,
# the two programs as built and for the right processors, a guide Notepad shows, and a
# SHA-256 list that matches every other file.
#   check_package.sh ZIP VERSION X64_PROGRAM X86_PROGRAM OBJDUMP
set -uo pipefail
# Tool output and sort order as the checks expect them, whatever the caller's locale.
export LC_ALL=C
zip=$1 version=$2 x64=$3 x86=$4 objdump=$5
folder="hdpatch-$version"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

unzip -tq "$zip" >/dev/null || fail "the zip does not read back intact"
expected=$(printf '%s\n' "$folder/" "$folder/README.txt" "$folder/SHA256SUMS.txt" \
  "$folder/hdpatch-x64.exe" "$folder/hdpatch-x86.exe" | sort)
listed=$(unzip -Z1 "$zip" | sort)
[ "$listed" = "$expected" ] || fail "the zip holds"$'\n'"$listed"$'\n'"instead of"$'\n'"$expected"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work" || fail "the zip does not unpack"
dir="$work/$folder"

cmp -s "$dir/hdpatch-x64.exe" "$x64" || fail "hdpatch-x64.exe is not the built $x64"
cmp -s "$dir/hdpatch-x86.exe" "$x86" || fail "hdpatch-x86.exe is not the built $x86"
"$objdump" -f "$dir/hdpatch-x64.exe" 2>/dev/null | grep -q 'file format pei-x86-64' ||
  fail "hdpatch-x64.exe is no x86-64 Windows program"
"$objdump" -f "$dir/hdpatch-x86.exe" 2>/dev/null | grep -q 'file format pei-i386' ||
  fail "hdpatch-x86.exe is no 32-bit x86 Windows program"

guide="$dir/README.txt"
[ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 mark"
iconv -f UTF-8 -t UTF-8 "$guide" >/dev/null 2>&1 || fail "README.txt is not UTF-8"
[ "$(grep -c $'\r$' "$guide")" = "$(wc -l <"$guide")" ] || fail "README.txt has lines without CRLF"
for text in "$version" hdpatch-x64.exe hdpatch-x86.exe System.dat 选择目录 加载补丁 还原补丁 \
  "目录正确，可以进行补丁转换" "目录错误，请选择CF截图正确目录" "加载补丁失败，System.dat无法写入"; do
  grep -qF "$text" "$guide" || fail "README.txt does not mention $text"
done
grep -q '@VERSION@' "$guide" && fail "README.txt still holds a placeholder"

sums="$dir/SHA256SUMS.txt"
[ "$(tr -d '\r' <"$sums" | awk '{print $2}' | sort | tr '\n' ' ')" = \
  "README.txt hdpatch-x64.exe hdpatch-x86.exe " ] ||
  fail "SHA256SUMS.txt does not list exactly the three other files"
(cd "$dir" && sha256sum --quiet -c SHA256SUMS.txt) || fail "a checksum in SHA256SUMS.txt does not match"

if [ $failures -gt 0 ]; then
  echo "$zip: $failures problem(s)"
  exit 1
fi
echo "$zip: layout, programs, guide and checksums as expected"
