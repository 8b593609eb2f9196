#!/usr/bin/env bash
# View changes that Excel reports by no event and no scroll message, made with real input
# (xdotool) in the stand-in: the status bar's zoom-in button, a column's and a row's border dragged
# in the headers, column A hidden, the formula bar hidden and the ribbon collapsed (Ctrl+F1), with
# the tag shown. Each moves the cell on screen, and the
# tag follows it: beside the cell's new place, never where the cell was. The calendar opened there
# stays open through a repaint where nothing moved.
#   tests/wine/view_test.sh <build folder> <work folder>   (inside Xvfb, the add-in installed in $WINEPREFIX)
set -uo pipefail
source "$(dirname "$0")/sub_test.sh" "$@"
log="$work/view.log"
at() { wait_line "$log" "^mark $1[[:space:]]*\$" 40 >/dev/null; }
# after <mark> <pattern>: the first line matching the pattern after the mark
after() { tr -d '\r' < "$log" | sed -n "/^mark $1\$/,\$p" | grep -m1 -E "$2"; }
# before <mark> <pattern>: the last line matching the pattern before the mark
before() { tr -d '\r' < "$log" | sed -n "1,/^mark $1\$/p" | grep -E "$2" | tail -n 1; }
# beside <mark>: the tag's window stands 13 pixels (10 points at 96 dpi) right of C2, level with
# its top, as the cell is drawn after the mark
beside() {
  local _a _b l t r b tx ty
  read -r _a _b l t r b < <(after "$1" '^cell-box C2 ') || return 1
  read -r _a _b _c tx ty _ < <(after "$1" "^window $TAG_CLASS ") || return 1
  echo "after $1: cell C2 $l $t $r $b, tag at $tx $ty"
  [ "$tx" = $((r + 13)) ] && [ "$ty" = "$t" ]
}

{
  printf '%s\n' "value C2 date 2025-11-03" "format C2 d mmm yyyy" "wait 300" "where C2" "mark click"
  go click
  printf '%s\n' "await-window $TAG_CLASS 8000" "cell-box C2" "where-zoom in" "mark zoom"
  go zoom
  printf '%s\n' "wait 800" "view" "cell-box C2" "window $TAG_CLASS" "where-border column B" "mark drag"
  go drag
  printf '%s\n' "wait 800" "cell-box C2" "window $TAG_CLASS" "where-zoom out" "mark calendar"
  go calendar
  printf '%s\n' "await-window $CAL_CLASS 8000" "wait 800" "window $CAL_CLASS" "window $TAG_CLASS" "cell-box C2" "mark zoom-out"
  go zoom-out
  printf '%s\n' "wait 800" "view" "cell-box C2" "window $CAL_CLASS" "window $TAG_CLASS" "where-border row 1" "mark row"
  go row
  printf '%s\n' "wait 800" "cell-box C2" "window $TAG_CLASS" "mark hide" "hide columns A" "wait 800" "cell-box C2" "window $TAG_CLASS"
  printf '%s\n' "where-command formula-bar" "mark formula"
  go formula
  printf '%s\n' "wait 800" "cell-box C2" "window $TAG_CLASS" "mark ribbon"
  go ribbon
  printf '%s\n' "wait 800" "cell-box C2" "window $TAG_CLASS" "where-command collapse-ribbon" "mark done" "quit"
} > "$work/view.txt"
"$WINE64" "$exe" --script "Z:${work//\//\\}\\view.txt" > "$log" 2>&1 &
excel=$!

if at click && read -r _ _ x y < <(before click '^where C2 '); then xdotool mousemove "$x" "$y" click 1; fi
touch "$work/click.go"
if at zoom && read -r _ _ zx zy < <(before zoom '^zoom-button in '); then xdotool mousemove "$zx" "$zy" click 1; fi
sleep 0.3; touch "$work/zoom.go"
# Column B's right border taken in the header and let go 40 pixels further right.
if at drag && read -r _ _ _ bx by < <(before drag '^border column B '); then
  xdotool mousemove "$bx" "$by" mousedown 1 && sleep 0.2 && xdotool mousemove $((bx + 20)) "$by" && sleep 0.1 &&
    xdotool mousemove $((bx + 40)) "$by" && sleep 0.2 && xdotool mouseup 1
fi
sleep 0.3; touch "$work/drag.go"
# The tag clicked: the calendar opens beside it, and repaints of its own leave it open.
if at calendar && read -r _ _ _ tx ty tw th < <(before calendar "^window $TAG_CLASS shown"); then
  xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
fi
touch "$work/calendar.go"
if at zoom-out && read -r _ _ ox oy < <(before calendar '^zoom-button out '); then xdotool mousemove "$ox" "$oy" click 1; fi
sleep 0.3; touch "$work/zoom-out.go"
# Row 1's bottom border taken in the row headers and let go 20 pixels lower.
if at row && read -r _ _ _ rx ry < <(before row '^border row 1 '); then
  xdotool mousemove "$rx" "$ry" mousedown 1 && sleep 0.2 && xdotool mousemove "$rx" $((ry + 10)) && sleep 0.1 &&
    xdotool mousemove "$rx" $((ry + 20)) && sleep 0.2 && xdotool mouseup 1
fi
sleep 0.3; touch "$work/row.go"
# View > Formula Bar turned off on the strip, then the ribbon collapsed to its tabs by Ctrl+F1.
if at formula && read -r _ _ fx fy < <(before formula '^command formula-bar '); then xdotool mousemove "$fx" "$fy" click 1; fi
sleep 0.3; touch "$work/formula.go"
at ribbon && xdotool key ctrl+F1
sleep 0.3; touch "$work/ribbon.go"
wait "$excel"
sed -i 's/\r$//' "$log"

check "the tag shows beside C2 at first" beside click
check "the status bar's zoom-in button zooms to 110 %" test "$(after zoom '^view ')" = "view row 1 column 1 zoom 110"
check "after the status-bar zoom the tag stands beside C2's new place" beside zoom
c_before="$(after zoom '^cell-box C2 ' | awk '{print $3}')"
c_after="$(after drag '^cell-box C2 ' | awk '{print $3}')"
check "dragging column B's border moved C2 40 pixels right" test "${c_after:-0}" = $((${c_before:-0} + 40))
check "after the column border drag the tag stands beside C2's new place" beside drag
check "the calendar opened beside the moved tag stays open through its own repaints" \
  test "$(before zoom-out "^window $CAL_CLASS " | cut -d' ' -f3)" = shown
check "the zoom-out button closes the calendar opened beside the tag's old place" \
  test "$(after zoom-out "^window $CAL_CLASS ")" = "window $CAL_CLASS hidden"
check "and the tag stands beside C2 at 100 %" beside zoom-out
r_before="$(after zoom-out '^cell-box C2 ' | awk '{print $4}')"
r_after="$(after row '^cell-box C2 ' | awk '{print $4}')"
check "dragging row 1's border moved C2 20 pixels down" test "${r_after:-0}" = $((${r_before:-0} + 20))
check "after the row border drag the tag stands beside C2's new place" beside row
h_before="$(after row '^cell-box C2 ' | awk '{print $3}')"
h_after="$(after hide '^cell-box C2 ' | awk '{print $3}')"
check "hiding column A moved C2 left" test "${h_after:-0}" -lt "${h_before:-0}"
check "after column A is hidden the tag stands beside C2's new place" beside hide
top() { after "$1" '^cell-box C2 ' | awk '{print $4}'; }
check "hiding the formula bar moved C2 up by the bar's height" test "$(top formula)" = $(($(top hide) - 22))
check "after the formula bar went the tag stands beside C2's new place" beside formula
check "Ctrl+F1 collapsed the ribbon to its tabs and moved C2 up" test "$(top ribbon)" = $(($(top formula) - 26))
check "after the ribbon collapsed the tag stands beside C2's new place" beside ribbon
check "and the collapsed ribbon hides its buttons" test "$(after ribbon '^command collapse-ribbon')" = "command collapse-ribbon hidden"
echo "view tests: $failures failed"
[ "$failures" -eq 0 ]
