#!/usr/bin/env bash
# A sheet shown right to left (Page Layout > Sheet Right-to-Left) in the stand-in, with real input
# (xdotool): the sheet is drawn mirrored, column A at the right; a click on C2 shows the tag 13
# pixels (10 points at 96 dpi) left of the cell, level with its top; column B's border, at its left,
# dragged leftwards widens B and the tag keeps to C2; a click on the tag opens the calendar below
# it, its right edge at the tag's right edge.
#   tests/wine/right_to_left_test.sh <build folder> <work folder>   (inside Xvfb, the add-in installed in $WINEPREFIX)
set -uo pipefail
source "$(dirname "$0")/sub_test.sh" "$@"
log="$work/right-to-left.log"
at() { wait_line "$log" "^mark $1[[:space:]]*\$" 40 >/dev/null; }
after() { tr -d '\r' < "$log" | sed -n "/^mark $1\$/,\$p" | grep -m1 -E "$2"; }
before() { tr -d '\r' < "$log" | sed -n "1,/^mark $1\$/p" | grep -E "$2" | tail -n 1; }

{
  printf '%s\n' "value C2 date 2025-11-03" "format C2 d mmm yyyy" "sheet-right-to-left on" "wait 300"
  printf '%s\n' "cell-box A2" "cell-box B2" "where C2" "mark click"
  go click
  printf '%s\n' "await-window $TAG_CLASS 8000" "cell-box C2" "where-border column B" "mark drag"
  go drag
  printf '%s\n' "wait 800" "cell-box C2" "window $TAG_CLASS" "mark calendar"
  go calendar
  printf '%s\n' "await-window $CAL_CLASS 8000" "wait 500" "window $CAL_CLASS" "window $TAG_CLASS" "mark done" "quit"
} > "$work/right-to-left.txt"
"$WINE64" "$exe" --script "Z:${work//\//\\}\\right-to-left.txt" > "$log" 2>&1 &
excel=$!

if at click && read -r _ _ x y < <(before click '^where C2 '); then xdotool mousemove "$x" "$y" click 1; fi
touch "$work/click.go"
# Column B's border, at its left on this sheet, taken in the header and let go 40 pixels further left.
if at drag && read -r _ _ _ bx by < <(before drag '^border column B '); then
  xdotool mousemove "$bx" "$by" mousedown 1 && sleep 0.2 && xdotool mousemove $((bx - 20)) "$by" && sleep 0.1 &&
    xdotool mousemove $((bx - 40)) "$by" && sleep 0.2 && xdotool mouseup 1
fi
sleep 0.3; touch "$work/drag.go"
if at calendar && read -r _ _ _ tx ty tw th < <(before calendar "^window $TAG_CLASS shown"); then
  xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
fi
touch "$work/calendar.go"
wait "$excel"
sed -i 's/\r$//' "$log"

read -r _ _ al _ ar _ < <(before click '^cell-box A2 ') || true
read -r _ _ bl _ br _ < <(before click '^cell-box B2 ') || true
echo "A2 from ${al:-?} to ${ar:-?}, B2 from ${bl:-?} to ${br:-?}"
check "column A is drawn right of column B" test "${br:-1}" = "${al:-0}"
read -r _ _ l t r b < <(after click '^cell-box C2 ') || true
read -r _ _ _ tx ty tw th < <(after click "^window $TAG_CLASS ") || true
echo "cell C2 ${l:-?} ${t:-?} ${r:-?} ${b:-?}, tag at ${tx:-?} ${ty:-?} size ${tw:-?} ${th:-?}"
check "the tag stands 13 pixels left of C2, level with its top" test "$((${tx:-0} + ${tw:-0}))" = "$((${l:-0} - 13))" -a "${ty:-x}" = "${t:-y}"
read -r _ _ dl dt _ _ < <(after drag '^cell-box C2 ') || true
read -r _ _ _ tx ty tw th < <(after drag "^window $TAG_CLASS ") || true
echo "after the drag: cell C2 at ${dl:-?} ${dt:-?}, tag at ${tx:-?} ${ty:-?}"
check "dragging column B's border 40 pixels left, where it stands on this sheet, moved C2 40 pixels left" \
  test "${dl:-0}" = "$((${l:-0} - 40))"
check "and the tag stands 13 pixels left of C2's new place" test "$((${tx:-0} + ${tw:-0}))" = "$((${dl:-0} - 13))" -a "${ty:-x}" = "${dt:-y}"
read -r _ _ shown cx cy cw _ < <(after calendar "^window $CAL_CLASS ") || true
echo "calendar ${shown:-?} at ${cx:-?} ${cy:-?} width ${cw:-?}"
check "the calendar opens below the tag, its right edge at the tag's" \
  test "${shown:-}" = shown -a "$((${cx:-0} + ${cw:-0}))" = "$((${tx:-0} + ${tw:-0}))" -a "${cy:-0}" = "$((${ty:-0} + ${th:-0}))"
echo "right-to-left tests: $failures failed"
[ "$failures" -eq 0 ]
