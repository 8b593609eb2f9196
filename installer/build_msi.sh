#!/usr/bin/env bash
# Builds the per-user MSI from a built add-in folder (Tessaly.dll with the files it ships beside):
#   installer/build_msi.sh <add-in folder> x64|x86 <output.msi> [version]
# The help file goes in only when the folder has one.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
folder=$1 arch=$2 out=$3 version=${4:-1.0.0}
case $arch in
  x64) win64=yes ;;
  x86) win64=no ;;
  *) echo "architecture must be x64 or x86, not $arch" >&2; exit 2 ;;
esac
help=0
[ -f "$folder/TESSALY.chm" ] && help=1
out="$(realpath -m "$out")"
cd "$folder"
wixl -a "$arch" -D Version="$version" -D Win64="$win64" -D HelpFile="$help" -o "$out" "$here/tessaly.wxs"
