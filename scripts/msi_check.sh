#!/usr/bin/env bash
# What can be known of a per-user package without installing it:
#   msi_check.sh <Tessaly.msi> x64|x86 [<the other architecture's Tessaly.msi>]
# Per-user scope (no ALLUSERS), registry under HKEY_CURRENT_USER only, installed under the user's
# LocalAppData\Programs\Tessaly, 64-bit components exactly in the x64 package. Given the other
# architecture's package, both must write the same registry values from the same components and
# install the same files: only the architecture may differ.
set -euo pipefail
msi="$1" arch="$2" other="${3:-}"
fail() { echo "msi check ($arch): $*" >&2; exit 1; }
table() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }

table "$msi" Property | grep -q '^ALLUSERS' && fail "the package sets ALLUSERS"
platform=x64
[ "$arch" = x86 ] && platform=Intel
msiinfo suminfo "$msi" | grep -q "^Template: $platform;" || fail "the package's platform is not $platform"
roots="$(table "$msi" Registry | cut -f2 | sort -u | tr '\n' ' ')"
[ "$roots" = "1 " ] || fail "registry roots other than HKEY_CURRENT_USER: $roots"
table "$msi" Directory | grep -q $'^INSTALLFOLDER\tUserProgramsFolder\tTessaly' || fail "not installed under Programs\\Tessaly"
table "$msi" Directory | grep -q $'^UserProgramsFolder\tLocalAppDataFolder\tPrograms' || fail "not under LocalAppData\\Programs"
while IFS=$'\t' read -r component _ _ attributes _; do
  if [ "$arch" = x64 ]; then (( attributes & 256 )) || fail "component $component is not 64-bit"
  else (( attributes & 256 )) && fail "component $component is 64-bit in the x86 package"; fi
done < <(table "$msi" Component)
echo "static checks passed: per-user, HKCU only, $arch components"

[ -n "$other" ] || exit 0
# Registry rows without their generated ids; files by name and component, without sizes.
registry() { table "$1" Registry | cut -f2- | sort; }
files() { table "$1" File | cut -f2,3 | sort; }
diff <(registry "$other") <(registry "$msi") >&2 || fail "its registry values differ from $(basename "$other")'s"
diff <(files "$other") <(files "$msi") >&2 || fail "its files differ from $(basename "$other")'s"
echo "same registry values and files as $(basename "$other")"
