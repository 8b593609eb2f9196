#!/usr/bin/env bash
# What can be known of a built Tessaly.dll without loading it:
#   check_dll.sh <Tessaly.dll> x64|x86 [<the other architecture's Tessaly.dll>]
# Its machine type; COM's four entry points exported under their plain names (a 32-bit build can
# decorate stdcall names as DllGetClassObject@12, which COM's GetProcAddress would never find);
# and only Windows' own DLLs imported, since the build is static and nothing ships beside it.
# Given the other architecture's DLL, both must import the same DLLs.
set -euo pipefail
dll="$1" arch="$2" other="${3:-}"
fail() { echo "dll check ($arch): $*" >&2; exit 1; }
case "$arch" in
  x64) format=pei-x86-64 objdump=x86_64-w64-mingw32-objdump ;;
  x86) format=pei-i386 objdump=i686-w64-mingw32-objdump ;;
  *) echo "architecture must be x64 or x86, not $arch" >&2; exit 2 ;;
esac
"$objdump" -f "$dll" | grep -q "file format $format\$" || fail "$dll is not $format"
# objdump -p lists exports as "[ n] Name" rows under the name pointer table, imports as "DLL Name: X".
exports() { "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort; }
# The x64 objdump reads both formats, so the two architectures' DLLs can be compared.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u; }
want="$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)"
[ "$(exports "$dll")" = "$want" ] || fail "exports $(exports "$dll" | tr '\n' ' ')instead of $(tr '\n' ' ' <<<"$want")"
runtime="$(imports "$dll" | grep -E '^(libgcc|libstdc|libwinpthread|msvcp|vcruntime)' || :)"
[ -z "$runtime" ] || fail "imports a runtime that is not shipped: $runtime"
if [ -n "$other" ]; then
  diff <(imports "$other") <(imports "$dll") >&2 || fail "imports other DLLs than $(basename "$other")"
fi
echo "dll checked: $arch ($format), the four COM entry points, $(imports "$dll" | wc -l) Windows DLLs imported"
