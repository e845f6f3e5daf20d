#!/usr/bin/env bash
# Packs a release zip from the built programs and checks it; then checks that a zip with a
# changed program or a stray file is refused, so the check itself is known to bite.
#   test_package.sh VERSION X64_PROGRAM X86_PROGRAM OBJDUMP
set -euo pipefail
# Tool output and sort order as the checks expect them, whatever the caller's locale.
export LC_ALL=C
version=$1 x64=$2 x86=$3 objdump=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for program in "$x64" "$x86"; do
  [ -f "$program" ] || { echo "no program at $program: build both presets first"; exit 1; }
done

bash "$here/package.sh" "$version" "$x64" "$x86" "$work/good.zip"
bash "$here/check_package.sh" "$work/good.zip" "$version" "$x64" "$x86" "$objdump"

# Unpacks the good zip, lets a command change it, packs it again.
repack() {
  local name=$1 change=$2
  rm -rf "$work/tree" && mkdir "$work/tree"
  unzip -q "$work/good.zip" -d "$work/tree"
  (cd "$work/tree/hdpatch-$version" && eval "$change")
  (cd "$work/tree" && cmake -E tar cf "$work/$name.zip" --format=zip -- "hdpatch-$version")
}

repack changed 'printf X | dd of=hdpatch-x86.exe bs=1 seek=2000 conv=notrunc status=none'
repack stray 'echo extra >notes.txt'
repack unsummed 'sed -i "/README/d" SHA256SUMS.txt'
repack missummed 'sed -i "1s/^f/0/;t;1s/^./f/" SHA256SUMS.txt'
for bad in changed stray unsummed missummed; do
  if bash "$here/check_package.sh" "$work/$bad.zip" "$version" "$x64" "$x86" "$objdump" \
    >"$work/$bad.log" 2>&1; then
    echo "the check took the $bad zip:"
    cat "$work/$bad.log"
    exit 1
  fi
  echo "refused the $bad zip:"
  grep FAIL "$work/$bad.log"
done
