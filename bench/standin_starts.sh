#!/usr/bin/env bash
# OnConnection as the stand-in Excel clocks it, on a profile's first start and the starts after it:
# each run installs the add-in into a fresh Wine prefix, starts the stand-in STARTS times as a host of
# VERSION and prints the time of each connection. Run under Xvfb, with nothing else in the prefix:
#   xvfb-run -a bench/standin_starts.sh <folder holding Tessaly.dll> <tessaly_excel.exe> <version> [starts]
set -u
dll_dir="$(cd "$1" && pwd)"
exe="$2"
version="$3"
starts="${4:-3}"
here="$(cd "$(dirname "$0")" && pwd)"
export WINEPREFIX="$(mktemp -d /tmp/tessaly-starts.XXXXXX)" WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
source "$here/../scripts/wine_addin.sh"
"$WINE64" wineboot -i >/dev/null 2>&1
install_addin "$dll_dir"
# Long enough for what the add-in does once its connection has returned; a question it asked would
# hold the stand-in up, so a start that does not end is one that asked.
printf 'wait 1000\nquit\n' > "$WINEPREFIX/starts.txt"
for i in $(seq 1 "$starts"); do
  took="$(timeout 60 "$WINE64" "$exe" --version "$version" --script "Z:${WINEPREFIX//\//\\}\\starts.txt" 2>&1 |
    tr -d '\r' | grep -o 'connected in [0-9.]* ms')"
  echo "version $version, start $i: ${took:-no connection}"
done
wineserver -w
