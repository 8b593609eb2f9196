#!/usr/bin/env bash
# The main job: Tessaly.dll installed into a throwaway Wine prefix, loaded by the stand-in Excel
# under Xvfb, and the main path walked with real input (xdotool), a screenshot of each step.
# --native runs the quicker native demo on the stand-in host instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache

if [ "${1:-}" = "--native" ]; then
  shift
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target tessaly_demo
  # The demo saves its calendar pictures in the folder it runs in.
  cd build/linux && exec ./demo/tessaly_demo "$@"
fi

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tessaly_excel high_contrast_calendar
# The add-in ships as a Release build.
cmake --preset win64 -B build/win64-release -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF >/dev/null
dll_dir=""
# (the target list is read whole first: grep -q leaving early would break make's pipe)
targets="$(cmake --build build/win64-release --target help)"
if grep -q '\.\.\. Tessaly$' <<<"$targets"; then
  cmake --build build/win64-release --target Tessaly -j 2
  dll_dir="$(dirname "$(find build/win64-release -name Tessaly.dll | head -n1)")"
fi

out="$PWD/build/main-job"
rm -rf "$out" && mkdir -p "$out"
export WINEPREFIX="$(mktemp -d /tmp/tessaly-main.XXXXXX)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" scripts/main_walk.sh "$PWD/build/win64/sim/excel_exe/tessaly_excel.exe" "$dll_dir" "$out"
