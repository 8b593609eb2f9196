#!/usr/bin/env bash
# Runs a Windows test program under Wine with the display at the given pixels per inch, then puts
# the prefix back at 96. Usage: wine_at_dpi.sh DPI PROGRAM [ARGUMENTS...]
set -euo pipefail
dpi="$1"
shift
wine=/usr/lib/wine/wine64
set_dpi() {
  # Wine reads the setting from either key, depending on its version.
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$wine" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w  # the next program starts with the new setting
}
trap 'set_dpi 96' EXIT
set_dpi "$dpi"
"$wine" "$@"
