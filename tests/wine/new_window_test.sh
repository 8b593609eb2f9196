#!/usr/bin/env bash
# A second window on one workbook (View > New Window) in the stand-in Excel of version 16, driven by
# real input (xdotool): Excel's key tips Alt, W, N open it; the tag shows in the window the user
# clicks in, in that window's own main window, beside its cell; Ctrl+F6 goes back to the first window
# with its own selection, and the tag with it; closing the second window keeps the workbook, and the
# tag shows in the first window again; the strip's New Window button opens another.
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
  printf '%s\n' "mark keys"
  go keys
  printf '%s\n' "wait 300" "windows" "workbooks" "where E8" "mark click2"
  printf '%s\n' "await-window $TAG_CLASS 8000" "wait 300" "owner $TAG_CLASS" "windows" "cell-box E8" "window $TAG_CLASS" "mark next"
  go next
  printf '%s\n' "wait 300" "windows" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS"
  printf '%s\n' "activate-window Book1.xlsx:2" "wait 300" "close-window" "wait 300" "windows" "await-window $TAG_CLASS 8000"
  printf '%s\n' "wait 300" "owner $TAG_CLASS" "where-command new-window" "mark button"
  go button
  printf '%s\n' "wait 300" "windows" "com-windows" "com-new-window" "wait 300" "com-windows" "quit"
} > "$work/new-window.txt"
"$WINE64" "$exe" --script "Z:${work//\//\\}\\new-window.txt" > "$work/new-window.log" 2>&1 &
excel=$!
log="$work/new-window.log"
read -r x y < <(at "$log" click1) && xdotool mousemove "$x" "$y" click 1
# View > New Window by its key tips: Alt let go alone, then W (the View tab), then N.
wait_line "$log" "^mark keys[[:space:]]*$" 30 >/dev/null && xdotool key alt && sleep 0.2 && xdotool key w && sleep 0.2 && xdotool key n
touch "$work/keys.go"
read -r x y < <(at "$log" click2) && xdotool mousemove "$x" "$y" click 1
wait_line "$log" "^mark next[[:space:]]*$" 30 >/dev/null && xdotool key ctrl+F6
touch "$work/next.go"
if wait_line "$log" "^mark button[[:space:]]*$" 30 >/dev/null &&
  read -r _ _ bx by < <(tr -d '\r' < "$log" | grep -m1 '^command new-window '); then
  xdotool mousemove "$bx" "$by" click 1
fi
touch "$work/button.go"
wait "$excel"
sed -i 's/\r$//' "$log"

owners="$(grep "^owner $TAG_CLASS" "$log" | awk '{print $3}' | tr '\n' ' ')"
read -r first second third fourth <<< "$owners"
echo "the tag's main windows: $owners"
tr '\n' ' ' < "$log" | grep -qE "window Book1\.xlsx:2 active window [0-9]+ cell C2 window Book1\.xlsx:1 " &&
  new_ok=1 || new_ok=""
check "Alt, W, N opens Book1:2, active, showing the first window's selection" test -n "$new_ok"
check "a click in the second window shows the tag in its own main window" test -n "${second:-}" -a "${second:-}" != "${first:-}"
check "the second window's selection is its own" grep -qE "^window Book1\.xlsx:2 active window [0-9]+ cell E8$" "$log"
# The tag stands 13 pixels (10 points at 96 dpi) right of E8 as the new window draws it, level with its top.
read -r _ _ l t r b < <(grep -m1 '^cell-box E8 ' "$log")
read -r _ _ _ tx ty _ < <(sed -n '/^cell-box E8 /,$p' "$log" | grep -m1 "^window $TAG_CLASS shown")
check "and the tag stands beside E8 in the new window" test "${tx:-x}" = "$((${r:-0} + 13))" -a "${ty:-x}" = "${t:-y}"
check "Ctrl+F6 goes back to the first window and its selection" grep -qE "^window Book1\.xlsx:1 active window [0-9]+ cell C2$" "$log"
check "and the tag back into the first window's main window" test "${third:-}" = "${first:-}"
check "closing the second window keeps the workbook in one window" grep -qE "^window Book1\.xlsx active window [0-9]+ cell C2$" "$log"
check "and the tag shows in the first window" test "${fourth:-}" = "${first:-}"
check "the strip's New Window button opens Book1:2 again" \
  test "$(tr '\n' ' ' < "$log" | grep -oE "mark button .*" | grep -cE "window Book1\.xlsx:2 active .*window Book1\.xlsx:1")" = 1
check "through COM Application.Windows counts both windows, the active one first" grep -qx "com windows 2: Book1.xlsx:2 Book1.xlsx:1" "$log"
check "and ActiveWorkbook.NewWindow returns the new active window, Book1:3" grep -qx "com new window Book1.xlsx:3" "$log"
check "which then comes first of three" grep -qx "com windows 3: Book1.xlsx:3 Book1.xlsx:2 Book1.xlsx:1" "$log"
[ "$failures" -eq 0 ] || cat "$log"
echo "new window tests: $failures failed"
[ "$failures" -eq 0 ]
