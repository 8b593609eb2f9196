#!/usr/bin/env bash
# The add-in on the stand-in's desktop of Excel 2013 and later, driven by real input (xdotool): the
# tag follows the active workbook's own main window across two workbooks and still shows after the
# first workbook is closed, and Settings opens after that; the wheel, Ctrl+wheel and the scroll bar
# hide the tag and the calendar; a short, restored workbook window keeps the whole calendar inside
# its client area; and on two screens joined by Xinerama (Xephyr inside the Xvfb display) a cell on
# the second screen gets its tag beside it.
#   tests/wine/desktop_test.sh <build folder> <work folder>   (inside Xvfb, the add-in installed in $WINEPREFIX)
set -uo pipefail
source "$(dirname "$0")/sub_test.sh" "$@"
# at <log> <mark>: the last "where" line before the mark, once the mark is there: "x y" of the cell
at() {
  wait_line "$1" "^mark $2[[:space:]]*$" 30 >/dev/null || return 1
  tr -d '\r' < "$1" | awk -v m="mark $2" '/^where /{w = $3 " " $4} $0 == m {print w; exit}'
}
# after <log> <mark> <pattern> <seconds>: the first line matching the pattern after the mark
after() {
  local left=$(( $4 * 10 )) line
  while [ "$left" -gt 0 ]; do
    line="$(tr -d '\r' < "$1" | sed -n "/^mark $2\$/,\$p" | grep -m1 -E "$3")" && { echo "$line"; return 0; }
    sleep 0.1
    left=$((left - 1))
  done
  return 1
}
# field <log> <pattern> <n>: field n of the first line matching the pattern
field() { tr -d '\r' < "$1" | grep -m1 -E "$2" | awk -v n="$3" '{print $n}'; }
start() {  # start <name>: the stand-in on the steps of $work/<name>.txt, in the background
  "$WINE64" "$exe" --script "Z:${work//\//\\}\\$1.txt" > "$work/$1.log" 2>&1 &
  excel=$!
}
finish() { wait "$excel"; sed -i 's/\r$//' "$work/$1.log"; }
click_cell_and_tag() {  # click_cell_and_tag <log> <mark>: a click on the cell, then on the tag
  local x y tx ty
  read -r x y < <(at "$1" "$2") || return
  xdotool mousemove "$x" "$y" click 1
  read -r tx ty < <(after "$1" "$2" "^window $TAG_CLASS shown" 10 | awk '{print $4 + $6 / 2, $5 + $7 / 2}') || return
  xdotool mousemove "$tx" "$ty" click 1
}

# Two workbooks, each in its main window: Ctrl+N opens the second in front of the first; a click on
# the first's uncovered edge and Ctrl+F6 switch between them, and each activation shows the active
# workbook's tag again; closing the first, while active, destroys its main window with the tag's
# window in it, and the second workbook's activation must still show a tag, as must a click.
{
  printf '%s\n' "value C2 date 2025-11-03" "format C2 d mmm yyyy" "client" "workbooks" "where C2" "mark click1"
  printf '%s\n' "await-window $TAG_CLASS 8000" "owner $TAG_CLASS" "mark new"
  go new
  printf '%s\n' "wait 300" "workbooks" "value C2 date 2025-11-04" "format C2 d mmm yyyy" "wait 300" "where C2" "mark click2"
  printf '%s\n' "await-window $TAG_CLASS 8000" "owner $TAG_CLASS" "mark edge"
  for step in edge:next1 next1:next2 next2:; do
    go "${step%%:*}"
    printf '%s\n' "wait 300" "workbooks" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS"
    [ -n "${step#*:}" ] && echo "mark ${step#*:}"
  done
  printf '%s\n' "close-workbook Book1.xlsx" "wait 300" "workbooks" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS"
  printf '%s\n' "where A5" "mark away" "await-gone $TAG_CLASS 8000" "where C2" "mark click3" "await-window $TAG_CLASS 8000" "owner $TAG_CLASS"
  printf '%s\n' "quit"
} > "$work/books.txt"
start books
log="$work/books.log"
for step in click1 new click2 edge next1 next2 away click3; do
  case "$step" in
    click* | away) read -r x y < <(at "$log" "$step") && xdotool mousemove "$x" "$y" click 1 ;;
    new) wait_line "$log" "^mark new[[:space:]]*$" 30 >/dev/null && xdotool key ctrl+n ;;
    # The first workbook's row headers, left of the second main window, which is cascaded 30 pixels.
    edge) read -r _ l t _ b < <(wait_line "$log" '^client ' 1) && wait_line "$log" "^mark edge[[:space:]]*$" 30 >/dev/null &&
      xdotool mousemove $((l + 8)) $(((t + b) / 2)) click 1 ;;
    next*) wait_line "$log" "^mark $step[[:space:]]*$" 30 >/dev/null && xdotool key ctrl+F6 ;;
  esac
  [ -n "${step##click*}" ] && [ "$step" != away ] && touch "$work/$step.go"
done
finish books
book1="$(field "$log" '^workbook Book1\.xlsx main' 4)"
book2="$(field "$log" '^workbook Book2 main' 4)"
owners="$(grep "^owner $TAG_CLASS" "$log" | awk '{print $3}' | tr '\n' ' ')"
hwnds="$(grep '^application hwnd' "$log" | awk '{print $3}' | tr '\n' ' ')"
echo "main windows: Book1 $book1, Book2 $book2; the tag's: $owners; Application.Hwnd: $hwnds"
check "Ctrl+N opens a second workbook in a main window of its own" test -n "$book2" -a "$book1" != "$book2"
check "a click on a main window and Ctrl+F6 make its workbook the active one: Application.Hwnd" \
  test "$hwnds" = "$book1 $book2 $book1 $book2 $book1 $book2 "
check "the tag follows the active workbook across two workbooks" \
  test "$(echo "$owners" | cut -d' ' -f1-5)" = "$book1 $book2 $book1 $book2 $book1"
check "the tag still shows after the first workbook is closed" test "$(echo "$owners" | cut -d' ' -f6-7)" = "$book2 $book2"

# The main window the add-in found at connection closes with the first workbook, no tag having shown
# in the second: the ribbon's Settings still opens the options dialog, over the main window left.
printf '%s\n' "new-workbook" "wait 300" "close-workbook Book1.xlsx" "wait 300" "mark settings" "ribbon ZorelButtonSettings" \
  "wait 1000" "quit" > "$work/settings.txt"
start settings
opened=""
wait_line "$work/settings.log" "^mark settings[[:space:]]*$" 30 >/dev/null && opened="$(await_title Settings 10)" &&
  xdotool key --window "$opened" Escape
finish settings
check "Settings opens after the first workbook's main window has closed" test -n "$opened"

# Excel raises no event when the user scrolls or zooms: the wheel, Ctrl+wheel and the scroll bar's
# arrow hide the tag and the calendar, and the view moves.
{
  printf '%s\n' "value C2 date 2025-11-03" "format C2 d mmm yyyy" "where A12" "mark wheel-to" "where C2" "mark s1" "await-window $TAG_CLASS 8000"
  printf '%s\n' "await-window $CAL_CLASS 8000" "mark wheel" "await-gone $CAL_CLASS 3000" "await-gone $TAG_CLASS 3000" "view"
  printf '%s\n' "scroll 1 1" "wait 300" "where C2" "mark s2" "await-window $TAG_CLASS 8000"
  printf '%s\n' "await-window $CAL_CLASS 8000" "mark zoom" "await-gone $CAL_CLASS 3000" "await-gone $TAG_CLASS 3000" "view"
  printf '%s\n' "zoom 100" "wait 300" "where C2" "mark s3" "await-window $TAG_CLASS 8000"
  printf '%s\n' "await-window $CAL_CLASS 8000" "client" "mark bar" "await-gone $CAL_CLASS 3000" "await-gone $TAG_CLASS 3000" "view"
  printf '%s\n' "quit"
} > "$work/scroll.txt"
start scroll
log="$work/scroll.log"
read -r ax ay < <(at "$log" wheel-to)
click_cell_and_tag "$log" s1
wait_line "$log" "^mark wheel[[:space:]]*$" 30 >/dev/null && xdotool mousemove "$ax" "$ay" click 5
click_cell_and_tag "$log" s2
wait_line "$log" "^mark zoom[[:space:]]*$" 30 >/dev/null && xdotool mousemove "$ax" "$ay" keydown ctrl click 4 keyup ctrl
click_cell_and_tag "$log" s3
# The vertical scroll bar's down arrow, just right of the client area's bottom right corner.
if read -r _ _ _ right bottom < <(after "$log" s3 '^client ' 30); then
  wait_line "$log" "^mark bar[[:space:]]*$" 30 >/dev/null && xdotool mousemove $((right + 8)) $((bottom - 8)) click 1
fi
finish scroll
hidden() {  # hidden <from mark> <view line>: both windows went after the mark, and the view is as given
  sed -n "/^mark $1\$/,\$p" "$log" | tr '\n' ' ' |
    grep -qE "window $CAL_CLASS hidden window $TAG_CLASS hidden $2"
}
check "a wheel scroll hides the tag and the calendar" hidden wheel 'view row 4 column 1 zoom 100'
check "a Ctrl+wheel zoom hides the tag and the calendar" hidden zoom 'view row 1 column 1 zoom 110'
check "a click on the scroll bar's arrow hides the tag and the calendar" hidden bar 'view row 2 column 1 zoom 100'

# A short, restored workbook window: neither below nor above the tag has room for the calendar,
# which is kept inside the window's client area.
{
  printf '%s\n' "value C4 date 2025-11-03" "format C4 d mmm yyyy" "size-window 900 330" "wait 500" "where C4" "mark s1" "await-window $TAG_CLASS 8000"
  printf '%s\n' "await-window $CAL_CLASS 8000" "client" "quit"
} > "$work/short.txt"
start short
log="$work/short.log"
click_cell_and_tag "$log" s1
finish short
read -r _ _ _ cx cy cw ch < <(grep -m1 "^window $CAL_CLASS shown" "$log")
read -r _ l t r b < <(grep -m1 '^client ' "$log")
echo "calendar at ${cx:-?} ${cy:-?} size ${cw:-?} x ${ch:-?}; client area ${l:-?} ${t:-?} ${r:-?} ${b:-?}"
check "a short, restored workbook window keeps the whole calendar inside its client area" \
  test -n "${ch:-}" -a -n "${b:-}" -a "${cx:-0}" -ge "${l:-1}" -a "${cy:-0}" -ge "${t:-1}" \
  -a $((${cx:-0} + ${cw:-0})) -le "${r:-0}" -a $((${cy:-0} + ${ch:-0})) -le "${b:-0}"

# Two screens side by side (Xephyr with Xinerama inside the Xvfb display). The main window
# straddles both, most of it on the first; column C lies on the second.
wineserver -k  # its desktop belongs to the display it started on
if ! start_two_screens; then
  echo "FAILED: two screens need Xephyr (scripts/deps.sh installs it)"
  echo "desktop tests: $((failures + 1)) failed"
  exit 1
fi
{
  printf '%s\n' "monitors" "column-width A 250" "column-width B 250" "value C2 date 2025-11-03" "format C2 d mmm yyyy"
  printf '%s\n' "move-window 600 100" "wait 500" "cell-box C2" "where C2" "mark click" "await-window $TAG_CLASS 8000" "quit"
} > "$work/screens.txt"
outer="$DISPLAY"
export DISPLAY="$TWO_SCREENS"
start screens
log="$work/screens.log"
read -r x y < <(at "$log" click) && xdotool mousemove "$x" "$y" click 1
finish screens
wineserver -k
export DISPLAY="$outer"
kill "$TWO_SCREENS_PID" 2>/dev/null
read -r _ _ cl ct cr cb < <(grep -m1 '^cell-box C2' "$log")
read -r _ _ _ tx ty _ _ < <(grep -m1 "^window $TAG_CLASS shown" "$log")
echo "monitors: $(grep '^monitor' "$log" | cut -d' ' -f2- | tr '\n' ';') cell C2 ${cl:-?} ${ct:-?} ${cr:-?} ${cb:-?}; tag at ${tx:-?} ${ty:-?}"
check "Wine reports the two screens as two monitors" test "$(grep -c '^monitor' "$log")" = 2
# TagInterspaceX is 10 points: 13 pixels at 96 dpi.
check "a cell on the second screen gets its tag beside it" \
  test -n "${tx:-}" -a "${cl:-0}" -ge 1280 -a "${tx:-0}" -ge "${cr:-1}" -a "${tx:-0}" -le $((${cr:-0} + 20)) -a "${ty:-0}" = "${ct:-1}"

echo "desktop tests: $failures failed"
[ "$failures" -eq 0 ]
