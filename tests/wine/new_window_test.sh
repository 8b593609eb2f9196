#!/usr/bin/env bash
# A second window on one workbook (View > New Window) in the stand-in Excel of version 16, driven by
# real input (xdotool): the tag shows in the window the user clicks in, in that window's own main
# window; Ctrl+F6 goes back to the first window with its own selection, and the tag with it; closing
# the second window keeps the workbook, and the tag shows in the first window again.
#   tests/wine/new_window_test.sh <build folder> <work folder>   (inside Xvfb, the add-in installed in $WINEPREFIX)
set -uo pipefail
source "$(dirname "$0")/sub_test.sh" "$@"
# at <log> <mark>: the last "where" line before the mark, once the mark is there: "x y" of the cell
at() {
  wait_line "$1" "^mark $2[[:space:]]*$" 30 >/dev/null || return 1
  tr -d '\r' < "$1" | awk -v m="mark $2" '/^where /{w = $3 " " $4} $0 == m {print w; exit}'
}

{
  printf '%s\n' "value C2 date 2025-11-03" "format C2 d mmm yyyy" "value E8 date 2025-11-04" "format E8 d mmm yyyy"
  printf '%s\n' "where C2" "mark click1" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS" "windows"
  printf '%s\n' "new-window" "wait 300" "windows" "workbooks" "where E8" "mark click2"
  printf '%s\n' "await-window $TAG_CLASS 8000" "wait 300" "owner $TAG_CLASS" "windows" "mark next"
  go next
  printf '%s\n' "wait 300" "windows" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS"
  printf '%s\n' "activate-window Book1.xlsx:2" "wait 300" "close-window" "wait 300" "windows" "await-window $TAG_CLASS 8000"
  printf '%s\n' "wait 300" "owner $TAG_CLASS" "quit"
} > "$work/new-window.txt"
"$WINE64" "$exe" --script "Z:${work//\//\\}\\new-window.txt" > "$work/new-window.log" 2>&1 &
excel=$!
log="$work/new-window.log"
for step in click1 click2; do
  read -r x y < <(at "$log" "$step") && xdotool mousemove "$x" "$y" click 1
done
wait_line "$log" "^mark next[[:space:]]*$" 30 >/dev/null && xdotool key ctrl+F6
touch "$work/next.go"
wait "$excel"
sed -i 's/\r$//' "$log"

owners="$(grep "^owner $TAG_CLASS" "$log" | awk '{print $3}' | tr '\n' ' ')"
read -r first second third fourth <<< "$owners"
echo "the tag's main windows: $owners"
tr '\n' ' ' < "$log" | grep -qE "window Book1\.xlsx:2 active window [0-9]+ cell C2 window Book1\.xlsx:1 " &&
  new_ok=1 || new_ok=""
check "New Window opens Book1:2, active, showing the first window's selection" test -n "$new_ok"
check "a click in the second window shows the tag in its own main window" test -n "${second:-}" -a "${second:-}" != "${first:-}"
check "the second window's selection is its own" grep -qE "^window Book1\.xlsx:2 active window [0-9]+ cell E8$" "$log"
check "Ctrl+F6 goes back to the first window and its selection" grep -qE "^window Book1\.xlsx:1 active window [0-9]+ cell C2$" "$log"
check "and the tag back into the first window's main window" test "${third:-}" = "${first:-}"
check "closing the second window keeps the workbook in one window" grep -qE "^window Book1\.xlsx active window [0-9]+ cell C2$" "$log"
check "and the tag shows in the first window" test "${fourth:-}" = "${first:-}"
[ "$failures" -eq 0 ] || cat "$log"
echo "new window tests: $failures failed"
[ "$failures" -eq 0 ]
