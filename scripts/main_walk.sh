#!/usr/bin/env bash
# Inside Xvfb: installs the add-in (when built), starts the stand-in Excel and walks the main path
# with xdotool, as far as the add-in's windows exist: as a host of version 11 its toolbar shows and
# a right click on a cell shows its menu entry, which opens the calendar; then as a later host,
# click a date cell, the tag shows in the workbook window, click it, the calendar opens, click a
# day, the cell shows the date; then the ribbon's About button opens the About box, closed with a
# click on its OK; then the ribbon's Settings button opens the options dialog, and from it the two
# other option dialogs; Help opens the help viewer; a pick while Excel is busy is told as not
# written; last, two workbooks in two main windows, and two screens with the tag and the calendar
# on the second.
#   main_walk.sh <tessaly_excel.exe> <folder of Tessaly.dll or ""> <output folder>
set -euo pipefail
exe="$1" dll_dir="$2" out="$3"
source "$(dirname "$0")/wine_addin.sh"
TAG_CLASS="${TAG_CLASS:-TessalyTag}"
CAL_CLASS="${CAL_CLASS:-TessalyCalendarForm}"

"$WINE64" wineboot -i >/dev/null 2>&1
if [ -n "$dll_dir" ]; then
  install_addin "$dll_dir"
  echo "add-in installed for the current user from $dll_dir"
else
  echo "Tessaly.dll is not built yet: the stand-in Excel runs without add-ins"
fi

# The steps that make C2 a date cell below a heading, wide enough to read, and report where it is.
date_cell() { printf '%s\n' "value C1 text Paid on" "value C2 date 2025-11-03" "format C2 d mmm yyyy" "column-width C 70" "wait 500" "where C2"; }
shot() { sleep 0.7; /usr/bin/import -window root "$out/$1.png"; echo "screenshot $out/$1.png"; }
centre() { awk '{ printf "%d %d\n", $4 + $6 / 2, $5 + $7 / 2 }'; }

# First as a host of version 11, on the fresh profile: the add-in builds its toolbar, its quick
# button on Standard and its cell menu entry; a right click on C2 shows the menu, its entry opens
# the calendar.
if [ -n "$dll_dir" ]; then
  { date_cell; cat <<STEPS; } > "$out/walk11.txt"
await-window $CAL_CLASS 8000
mark done
wait 500
quit
STEPS
  log11="$out/excel11.log"
  "$WINE64" "$exe" --version 11 --script "Z:${out//\//\\}\\walk11.txt" > "$log11" 2>&1 &
  excel=$!
  if read -r _ _ x y < <(wait_line "$log11" '^where C2' 60); then
    shot 10-toolbar
    echo "right click C2 at ($x, $y)"
    xdotool mousemove "$x" "$y" click 3
    if read -r _ _ _ mx my < <(wait_line "$log11" '^cell menu at ' 15); then
      shot 11-cell-menu
      xdotool mousemove $((mx + 30)) $((my + 10)) click 1
      wait_line "$log11" "^window $CAL_CLASS shown" 15 >/dev/null && shot 12-calendar-from-menu
    else
      echo "no cell menu showed"
    fi
  fi
  wait_line "$log11" '^mark done' 30 >/dev/null || true
  wait "$excel" || true
  echo "--- stand-in Excel 11's output"
  cat "$log11"
fi

cat > "$out/walk.txt" <<'STEPS'
value A1 text Invoice date
value B1 text Amount
value C1 text Paid on
value B2 number 1250
value C2 date 2025-11-03
format C2 d mmm yyyy
column-width A 70
column-width C 70
wait 500
where C2
STEPS
cat >> "$out/walk.txt" <<STEPS
await-window $TAG_CLASS 8000
await-window $CAL_CLASS 8000
await-gone $CAL_CLASS 8000
dump A1:C2
wait 1500
STEPS
# The About box, the options dialog and the help, from the ribbon: each holds the stand-in in its
# modal loop, or stays beside it, while the walk below looks at it.
[ -n "$dll_dir" ] && cat >> "$out/walk.txt" <<STEPS
mark about-open
ribbon ZorelButtonAbout
wait 1500
mark about-closed
mark settings
ribbon ZorelButtonSettings
wait 1000
ribbon ZorelButtonHelp
wait 5000
mark help-shown
wait 2000
STEPS
cat >> "$out/walk.txt" <<STEPS
mark done
wait 500
quit
STEPS

log="$out/excel.log"
"$WINE64" "$exe" --script "Z:${out//\//\\}\\walk.txt" > "$log" 2>&1 &
excel=$!
read -r _ _ x y < <(wait_line "$log" '^where C2' 60)
shot 1-started
echo "click C2 at ($x, $y)"
xdotool mousemove "$x" "$y" click 1
if line="$(wait_line "$log" "^window $TAG_CLASS" 15)" && [[ "$line" == *shown* ]]; then
  shot 2-tag-shown
  read -r tx ty < <(echo "$line" | centre)
  echo "click the tag at ($tx, $ty)"
  xdotool mousemove "$tx" "$ty" click 1
  if line="$(wait_line "$log" "^window $CAL_CLASS shown" 15)"; then
    shot 3-calendar-open
    # A day in the calendar's fourth week, middle column.
    read -r cx cy < <(echo "$line" | awk '{ printf "%d %d\n", $4 + $6 / 2, $5 + $7 * 0.62 }')
    echo "click a day at ($cx, $cy)"
    xdotool mousemove "$cx" "$cy" click 1
    wait_line "$log" "^window $CAL_CLASS hidden" 15 >/dev/null || true
    shot 4-date-written
  else
    echo "the calendar did not open"
  fi
else
  shot 2-no-tag
  echo "no tag window ($TAG_CLASS) showed in the workbook window"
fi
# wait_window <title pattern> <seconds>: the X window id of a visible window with that title.
wait_window() {
  local left=$(( $2 * 10 )) id
  while [ "$left" -gt 0 ]; do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
    left=$((left - 1))
  done
  return 1
}
if [ -n "$dll_dir" ] && wait_line "$log" '^mark about-open' 30 >/dev/null; then
  if about="$(wait_window '^Tessaly$' 10)"; then
    shot 5-about
    # The box's OK button sits at (192, 75) of its 232 by 90 dialog units.
    eval "$(xdotool getwindowgeometry --shell "$about")"
    echo "click the About box's OK at ($((X + WIDTH * 192 / 232)), $((Y + HEIGHT * 75 / 90)))"
    xdotool mousemove $((X + WIDTH * 192 / 232)) $((Y + HEIGHT * 75 / 90)) click 1
    wait_line "$log" '^mark about-closed' 15 >/dev/null && echo "the About box closed" || echo "the About box did not close"
  else
    echo "the About box did not open"
  fi
fi
# The options dialog from the ribbon, then the two dialogs it opens, each closed with Escape.
if [ -n "$dll_dir" ] && wait_line "$log" '^mark settings' 30 >/dev/null && wait_window '^Settings$' 15 >/dev/null; then
  shot 7-settings
  for k in shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space; do xdotool key "$k"; sleep 0.15; done
  wait_window '^Custom Date Formats$' 10 >/dev/null && shot 8-custom-date-formats
  xdotool key Escape
  sleep 0.5
  # The focus is back on Custom Date Formats; Default Date is the next button.
  for k in Tab space; do xdotool key "$k"; sleep 0.15; done
  wait_window '^Default date$' 10 >/dev/null && shot 9-default-date
  xdotool key Escape
  sleep 0.5
  xdotool key Escape
else
  echo "the options dialog did not open"
fi
# The help viewer last: it stays open beside the host.
if [ -n "$dll_dir" ]; then
  # The viewer fills its panes a while after it shows: the picture once the stand-in has let it.
  if wait_window '^Tessaly Help$' 20 >/dev/null && wait_line "$log" '^mark help-shown' 20 >/dev/null; then
    shot 6-help
  else
    echo "the help viewer did not open"
  fi
fi
wait_line "$log" '^mark done' 30 >/dev/null || true
wait "$excel" || true
echo "--- stand-in Excel's output"
cat "$log"
# The calendar as drawn while the system's high-contrast mode is on, in a high-contrast black
# theme (Wine cannot switch the mode itself): read back from the screen, then pictured.
hc="$(dirname "$exe")/../../tests/high_contrast_calendar.exe"
if [ -f "$hc" ]; then
  "$WINE64" "$hc" 4 > "$out/high-contrast.log" 2>&1 &
  hc_pid=$!
  wait_line "$out/high-contrast.log" '^high contrast: the selected day' 30 >/dev/null && shot 13-high-contrast
  wait "$hc_pid" || true
  tr -d '\r' < "$out/high-contrast.log"
fi

# A pick while Excel is busy with a dialog of its own: the date is not written, and the user is told.
if [ -n "$dll_dir" ]; then
  rm -f "$out/busy.go"
  { date_cell; cat <<STEPS; } > "$out/walk-busy.txt"
select C2
wait 300
ribbon ZorelButtonCalendar
await-window $CAL_CLASS 5000
busy on
mark busy
await-file Z:${out//\//\\}\\busy.go 20000
busy off
dump C2
quit
STEPS
  "$WINE64" "$exe" --script "Z:${out//\//\\}\\walk-busy.txt" > "$out/excel-busy.log" 2>&1 &
  excel=$!
  if wait_line "$out/excel-busy.log" '^mark busy' 60 >/dev/null; then
    xdotool key --delay 150 Right Return
    if wait_window '^Tessaly$' 10 >/dev/null; then
      shot 18-excel-busy
      xdotool key Return
    else
      echo "no message showed for the pick while Excel was busy"
    fi
  fi
  touch "$out/busy.go"
  wait "$excel" || true
  tr -d '\r' < "$out/excel-busy.log" | grep '^cell C2' || true
fi

# A sheet shown right to left, column A at the right: a click on C2 shows the tag left of the cell,
# and a click on the tag opens the calendar below it, towards the sheet's reading direction.
if [ -n "$dll_dir" ]; then
  rm -f "$out/rtl.go"
  { printf '%s\n' "sheet-right-to-left on"; date_cell; cat <<STEPS; } > "$out/walk-rtl.txt"
await-window $TAG_CLASS 8000
await-window $CAL_CLASS 8000
mark rtl
await-file Z:${out//\//\\}\\rtl.go 20000
quit
STEPS
  "$WINE64" "$exe" --script "Z:${out//\//\\}\\walk-rtl.txt" > "$out/excel-rtl.log" 2>&1 &
  excel=$!
  if read -r _ _ x y < <(wait_line "$out/excel-rtl.log" '^where C2' 60); then
    xdotool mousemove "$x" "$y" click 1
    if line="$(wait_line "$out/excel-rtl.log" "^window $TAG_CLASS shown" 15)"; then
      read -r tx ty < <(echo "$line" | centre)
      xdotool mousemove "$tx" "$ty" click 1
      wait_line "$out/excel-rtl.log" '^mark rtl' 15 >/dev/null && shot 16-right-to-left
    fi
  fi
  touch "$out/rtl.go"
  wait "$excel" || true
  tr -d '\r' < "$out/excel-rtl.log" | grep "^window $TAG_CLASS\|^window $CAL_CLASS" || true
fi

# A cell whose data validation takes 10 to 21 November only: the calendar greys the other days,
# here with week numbers on.
if [ -n "$dll_dir" ]; then
  options='HKCU\Software\VB and VBA Program Settings\Tessaly\GlobalOptions'
  "$WINE64" reg add "$options" /v CalShowWeekNumbers /d 1 /f >/dev/null 2>&1
  rm -f "$out/limits.go"
  { date_cell; cat <<STEPS; } > "$out/walk-limits.txt"
validation C2 date 1 45971 45982
select C2
wait 300
ribbon ZorelButtonCalendar
await-window $CAL_CLASS 5000
mark limits
await-file Z:${out//\//\\}\\limits.go 20000
quit
STEPS
  "$WINE64" "$exe" --script "Z:${out//\//\\}\\walk-limits.txt" > "$out/excel-limits.log" 2>&1 &
  excel=$!
  wait_line "$out/excel-limits.log" '^mark limits' 60 >/dev/null && shot 17-validation-weeks
  touch "$out/limits.go"
  wait "$excel" || true
  "$WINE64" reg delete "$options" /v CalShowWeekNumbers /f >/dev/null 2>&1
fi

# Excel 2013 and later: two workbooks, each in a main window of its own. A click on C2 shows the
# tag in the first; Ctrl+N opens the second in front of it, and a click on its C2 shows the tag there.
if [ -n "$dll_dir" ]; then
  # Without a window manager nobody draws the captions: Wine draws them itself here, so that the
  # pictures tell the two main windows apart by their titles.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
  books_go="Z:${out//\//\\}\\books.go"
  rm -f "$out/books.go"
  { date_cell; cat <<STEPS; } > "$out/walk-books.txt"
mark first
await-window $TAG_CLASS 8000
mark new
await-file $books_go 20000
size-window 900 600
move-window 330 170
wait 500
value C1 text Due on
value C2 date 2025-12-01
format C2 d mmm yyyy
column-width C 70
wait 500
where C2
mark second
await-window $TAG_CLASS 8000
workbooks
owner $TAG_CLASS
mark done
wait 500
quit
STEPS
  log="$out/excel-books.log"
  "$WINE64" "$exe" --script "Z:${out//\//\\}\\walk-books.txt" > "$log" 2>&1 &
  excel=$!
  if read -r _ _ x y < <(wait_line "$log" '^where C2' 60); then
    wait_line "$log" '^mark first' 10 >/dev/null && xdotool mousemove "$x" "$y" click 1
    wait_line "$log" '^mark new' 15 >/dev/null && sleep 0.5 && xdotool key ctrl+n
    touch "$out/books.go"
    if wait_line "$log" '^mark second' 30 >/dev/null; then
      read -r _ _ x y < <(tr -d '\r' < "$log" | grep '^where C2' | tail -1)
      xdotool mousemove "$x" "$y" click 1
      wait_line "$log" '^owner ' 15 >/dev/null && shot 14-two-workbooks
    fi
  fi
  wait_line "$log" '^mark done' 30 >/dev/null || true
  wait "$excel" || true
  echo "--- stand-in Excel's output, two workbooks"
  cat "$log"

  # Two screens side by side (Xephyr with Xinerama inside this display; RANDR off, so that Wine
  # asks Xinerama): the main window straddles them, column C lies on the second, and the tag and
  # the calendar open beside C2 there.
  wineserver -k  # its desktop belongs to the display it started on
  if ! start_two_screens; then
    echo "Xephyr did not start: no picture of two screens"
    exit 0
  fi
  cat > "$out/walk-screens.txt" <<STEPS
monitors
column-width A 250
column-width B 250
value C1 text Paid on
value C2 date 2025-11-03
format C2 d mmm yyyy
move-window 600 100
wait 500
where C2
await-window $TAG_CLASS 8000
await-window $CAL_CLASS 8000
mark done
wait 1000
quit
STEPS
  log="$out/excel-screens.log"
  DISPLAY="$TWO_SCREENS" "$WINE64" "$exe" --script "Z:${out//\//\\}\\walk-screens.txt" > "$log" 2>&1 &
  excel=$!
  if read -r _ _ x y < <(wait_line "$log" '^where C2' 60); then
    DISPLAY="$TWO_SCREENS" xdotool mousemove "$x" "$y" click 1
    if line="$(wait_line "$log" "^window $TAG_CLASS shown" 15)"; then
      read -r tx ty < <(echo "$line" | centre)
      DISPLAY="$TWO_SCREENS" xdotool mousemove "$tx" "$ty" click 1
      if wait_line "$log" '^mark done' 15 >/dev/null; then
        sleep 0.7
        DISPLAY="$TWO_SCREENS" /usr/bin/import -window root "$out/15-two-screens.png"
        echo "screenshot $out/15-two-screens.png"
      fi
    fi
  fi
  wait "$excel" || true
  echo "--- stand-in Excel's output, two screens"
  cat "$log"
  DISPLAY="$TWO_SCREENS" wineserver -k
  kill "$TWO_SCREENS_PID" 2>/dev/null || true
fi
wineserver -w
