# What each part of the stand-in test that sources it shares: its two arguments (the build folder
# and its own work folder), the add-in's Wine helpers, our window classes, the stand-in executable,
# `check`, which counts what failed in $failures, and `go`.
#   source "$(dirname "$0")/sub_test.sh" "$@"   (inside Xvfb, the add-in installed in $WINEPREFIX)
build="$(cd "$1" && pwd)"
work="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/wine_addin.sh"
TAG_CLASS="${TAG_CLASS:-TessalyTag}"
CAL_CLASS="${CAL_CLASS:-TessalyCalendarForm}"
exe="$build/sim/excel_exe/tessaly_excel.exe"
mkdir -p "$work"
failures=0

check() {  # check <what> <command...>: ok when the command succeeds
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# go <name>: the script step that waits until the test writes <name>.go into the work folder
go() { echo "await-file Z:${work//\//\\}\\$1.go 20000"; }
