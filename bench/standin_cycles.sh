#!/usr/bin/env bash
# The COM Add-ins dialog's off and on, soaked in the stand-in Excel under Wine: installs one add-in
# into a fresh prefix, turns it off and on WARM times, then CYCLES times, and prints the resources
# (free thread-local slots, committed memory) before, between and after, the census of what the
# process holds after the warm-up and after the cycles, and the growth
# per cycle over the second stretch. Run under Xvfb:
#   xvfb-run -a bench/standin_cycles.sh <build folder> tessaly|null|null-pinned|null-ribbon|null-icons [warm] [cycles]
# "null" is bench/null_addin.cpp, a do-nothing add-in that COM unloads at each turn-off;
# "null-pinned" keeps it loaded, as Tessaly.dll keeps itself; "null-ribbon" is pinned too and hands
# the host Tessaly's ribbon XML, so that the host's strip is rebuilt each time as for Tessaly;
# "null-icons" is pinned and loads and destroys its icon six times a connection, as Tessaly does
# for its ribbon images, installed as deep in the profile as Tessaly.dll.
set -u
build="$(cd "$1" && pwd)"
kind="$2"
warm="${3:-100}"
cycles="${4:-400}"
here="$(cd "$(dirname "$0")" && pwd)"
export WINEPREFIX="$(mktemp -d /tmp/tessaly-cycles.XXXXXX)" WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
source "$here/../scripts/wine_addin.sh"
"$WINE64" wineboot -i >/dev/null 2>&1
case "$kind" in
  tessaly) install_addin "$build/Tessaly" ;;
  null|null-pinned|null-ribbon|null-icons)
    folder='C:\users\Public\AppData\Local\Programs\NullAddin'
    mkdir -p "$WINEPREFIX/drive_c/users/Public/AppData/Local/Programs/NullAddin"
    cp "$build/NullAddin/NullAddin.dll" "$WINEPREFIX/drive_c/users/Public/AppData/Local/Programs/NullAddin/"
    clsid='{5E7A0C11-3B2D-4F6A-9C1E-7D4B2A90E611}'
    "$WINE64" reg add "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve /d "$folder\\NullAddin.dll" /f >/dev/null
    "$WINE64" reg add "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel /d Apartment /f >/dev/null
    "$WINE64" reg add 'HKLM\Software\Classes\NullAddin.Connect\CLSID' /ve /d "$clsid" /f >/dev/null
    "$WINE64" reg add 'HKCU\Software\Microsoft\Office\Excel\Addins\NullAddin.Connect' /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
    [ "$kind" != null ] && export NULL_ADDIN_PIN=1
    if [ "$kind" = null-ribbon ]; then
      cp "$here/../package/caltab.xml" "$WINEPREFIX/drive_c/caltab.xml"
      export NULL_ADDIN_RIBBON='C:\caltab.xml'
    fi
    [ "$kind" = null-icons ] && export NULL_ADDIN_ICONS=6 ;;
  *) echo "unknown add-in kind $kind" >&2; exit 2 ;;
esac
# The census after the warm-up and after the cycles names each heap block size and each committed
# region size left behind at least once every two cycles.
printf 'wait 500\nresources\nreconnect %s\nresources\ncensus\nreconnect %s\nresources\ncensus %s\nquit\n' \
  "$warm" "$cycles" "$((cycles / 2))" > "$WINEPREFIX/cycles.txt"
timeout 3600 "$WINE64" "$build/sim/excel_exe/tessaly_excel.exe" --script "Z:${WINEPREFIX//\//\\}\\cycles.txt" 2>&1 |
  tr -d '\r' > "$WINEPREFIX/out.txt"
grep -E '^(resources|census)' "$WINEPREFIX/out.txt"
echo "turned off: the add-in's DLL $(grep -c '\.dll unloaded$' "$WINEPREFIX/out.txt") times unloaded, $(grep -c '\.dll still loaded$' "$WINEPREFIX/out.txt") times still loaded"
grep '^resources' "$WINEPREFIX/out.txt" | awk -v n="$cycles" '{ for (i = 1; i < NF; ++i) if ($i == "commit-kb") kb[NR] = $(i + 1) }
  END { if (NR >= 3) printf "growth over the last %d cycles: %.2f kB a cycle\n", n, (kb[3] - kb[2]) / n }'
wineserver -w
