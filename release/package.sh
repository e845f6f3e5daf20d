#!/usr/bin/env bash
# Packs the two programs, the user guide and a SHA-256 list into one zip.
#   package.sh VERSION X64_PROGRAM X86_PROGRAM OUTPUT_ZIP
# Names inside stay ASCII: Windows 7's own zip folders garble any other name.
set -euo pipefail
# Tool output and sort order as the checks expect them, whatever the caller's locale.
export LC_ALL=C
version=$1 x64=$2 x86=$3 output=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
folder="hdpatch-$version"
mkdir "$staging/$folder"
cp "$x64" "$staging/$folder/hdpatch-x64.exe"
cp "$x86" "$staging/$folder/hdpatch-x86.exe"
# Notepad on every Windows from 7 on reads UTF-8 with a byte-order mark and CRLF lines.
{
  printf '\xEF\xBB\xBF'
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/README.txt"
} >"$staging/$folder/README.txt"
(cd "$staging/$folder" &&
  sha256sum hdpatch-x64.exe hdpatch-x86.exe README.txt | sed 's/$/\r/' >SHA256SUMS.txt)

mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
rm -f "$output"
(cd "$staging" && cmake -E tar cf "$output" --format=zip -- "$folder")
echo "wrote $output"
