#!/usr/bin/env bash
# The per-user installer, checked statically (msi_check.sh) and then installed and removed in a
# Wine prefix:
#   msi_roundtrip.sh <Tessaly.msi> x64|x86
# Round trip: msiexec /i /qn puts the files under the user's
# LocalAppData\Programs\Tessaly and writes the class and Excel's add-in key; the class keys equal
# what Tessaly.dll's own DllRegisterServer writes; msiexec /x /qn leaves the files and the
# registry as they were before. Runs in a throwaway Wine prefix of its own, so nothing another
# step installed counts for or against the package.
set -euo pipefail
msi="$(realpath "$1")" arch="$2"
export WINEPREFIX="$(mktemp -d /tmp/tessaly-msi.XXXXXX)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
export USER="${USER:-$(id -un)}"  # Wine names the profile folder after the user
source "$(dirname "$0")/wine_addin.sh"
fail() { echo "msi round trip ($arch): $*" >&2; exit 1; }

"$(dirname "$0")/msi_check.sh" "$msi" "$arch"

# --- round trip
wine=("$WINE64")
[ "$arch" = x86 ] && wine=(/usr/lib/wine/wine)
local_dir="$WINEPREFIX/drive_c/users/$USER/AppData/Local"
clsid='{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}'
view=/reg:64
[ "$arch" = x86 ] && view=/reg:32
keys=("HKCU\\Software\\Classes\\CLSID\\$clsid" 'HKCU\Software\Classes\TESSALY.Connect'
      'HKCU\Software\Classes\TESSALY.Connect.1' 'HKCU\Software\Microsoft\Office\Excel\Addins\TESSALY.Connect')
# The add-in's keys as text, in the package's registry view: a key's values and subkeys as reg prints
# them, or "absent" for a key that is not there. reg prints its "Unable to find" on standard output
# and exits 1; any other exit is reg itself failing to start or read (seen once, on a loaded CI
# machine, right after wineboot), which is tried again rather than taken for a missing key.
dump() {
  local k out rc try
  for k in "${keys[@]}"; do
    for try in 1 2 3; do
      out="$("$WINE64" reg query "$k" /s "$view" 2>/dev/null)" && rc=0 || rc=$?
      if [ "$rc" = 0 ]; then printf '%s\n' "$out" | tr -d '\r' | grep -v '^$'; break; fi
      if [ "$rc" = 1 ] && grep -q 'Unable to find' <<<"$out"; then echo "absent: $k"; break; fi
      [ "$try" = 3 ] && fail "reg query $k failed ($rc): $out"
      sleep 1
    done
  done
}
files() { (cd "$local_dir" && find . | sort); }

"$WINE64" wineboot -i >/dev/null 2>&1
files > /tmp/msi-files-before.$$
before="$(dump)"
"${wine[@]}" msiexec /i "$(winepath -w "$msi" 2>/dev/null || echo "Z:${msi//\//\\}")" /qn || fail "msiexec /i failed ($?)"
for f in Tessaly.dll TESSALY.chm caltab.xml calgroup.xml pictures/cal16.ico; do
  [ -f "$local_dir/Programs/Tessaly/$f" ] || fail "$f is not installed"
done
installed="$(dump)"
grep -q 'LoadBehavior    REG_DWORD    0x3' <<<"$installed" || fail "Excel's add-in key lacks LoadBehavior 3"
grep -q 'FriendlyName    REG_SZ    Tessaly' <<<"$installed" || fail "Excel's add-in key lacks FriendlyName"
grep -q 'Description    REG_SZ' <<<"$installed" || fail "Excel's add-in key lacks Description"
grep -qi "Programs\\\\Tessaly\\\\Tessaly.dll" <<<"$installed" || fail "InprocServer32 does not name the installed DLL"
# The package's class keys are exactly the ones the DLL writes for itself.
dll="C:\\users\\$USER\\AppData\\Local\\Programs\\Tessaly\\Tessaly.dll"
"${wine[@]}" regsvr32 /s /u "$dll"
"${wine[@]}" regsvr32 /s "$dll"
self="$(dump)"
[ "$self" = "$installed" ] || { diff <(echo "$installed") <(echo "$self") >&2 || :; fail "the package's class keys differ from DllRegisterServer's"; }
echo "installed: files under LocalAppData\\Programs\\Tessaly, class and Excel add-in keys as the DLL writes them"

"${wine[@]}" msiexec /x "$(winepath -w "$msi" 2>/dev/null || echo "Z:${msi//\//\\}")" /qn || fail "msiexec /x failed ($?)"
after="$(dump)"
[ "$after" = "$before" ] || { diff <(echo "$before") <(echo "$after") >&2 || :; fail "keys are left after uninstalling"; }
files > /tmp/msi-files-after.$$
diff /tmp/msi-files-before.$$ /tmp/msi-files-after.$$ >&2 || fail "files or folders are left after uninstalling"
rm -f /tmp/msi-files-before.$$ /tmp/msi-files-after.$$
echo "uninstalled: no file, folder or key left"
