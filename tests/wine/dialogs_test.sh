#!/usr/bin/env bash
# The add-in's option dialogs in the stand-in Excel under Wine, driven with real keys and clicks
# from xdotool: the options dialog from the ribbon and from the calendar's Settings button, the
# custom date formats and default date dialogs from its two buttons; each through a validation
# message and an OK that stores, with the stored options read back from the registry afterwards.
# Screenshots of each dialog go to the output folder.
#   dialogs_test.sh <build folder> <output folder>   (inside Xvfb, $WINEPREFIX with the add-in installed)
set -uo pipefail
build="$(cd "$1" && pwd)"
out="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/wine_addin.sh"
exe="$build/sim/excel_exe/tessaly_excel.exe"
TAG_CLASS="${TAG_CLASS:-TessalyTag}"
CAL_CLASS="${CAL_CLASS:-TessalyCalendarForm}"
failures=0
mkdir -p "$out"

check() {  # check <condition text> <what>
  if eval "$1"; then echo "ok: $2"; else echo "FAILED: $2"; failures=$((failures + 1)); fi
}
await_gone() {  # await_gone <title> <seconds>
  local left=$(( $2 * 10 ))
  while [ "$left" -gt 0 ]; do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1; left=$((left - 1))
  done
  return 1
}
shot() { sleep 0.5; /usr/bin/import -window root "$out/$1.png"; echo "screenshot $out/$1.png"; }
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.15; done; }
typed() { xdotool type --delay 60 "$1"; sleep 0.2; }
read_by() {  # read_by <log> <window class[:control id]>...: what a screen reader is told
  local log="$out/$1"
  shift
  "$WINE64" "$build/tests/acc_probe.exe" "$@" >> "$log" 2>&1
  sed -i 's/\r$//' "$log"
}
told() {  # told <log> <line pattern> <what>
  if grep -q -- "$2" "$out/$1"; then echo "ok: $3"; else echo "FAILED: $3"; failures=$((failures + 1)); fi
}
stored() {  # stored <option key>: the text stored for the current user, or nothing
  "$WINE64" reg query 'HKCU\Software\VB and VBA Program Settings\Tessaly\GlobalOptions' /v "$1" 2>/dev/null |
    tr -d '\r' | awk -v k="$1" '$1 == k { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

cat > "$out/dialogs.txt" <<STEPS
value C2 date 2025-11-03
format C2 d mmm yyyy
where A5
click C2
await-window $TAG_CLASS 5000
mark ribbon
ribbon ZorelButtonSettings
selection
format C3 0.00%
format C4 @
select C2:C4
mark calendar
format-cells ok 0.00
ribbon ZorelButtonCalendar
await-window $CAL_CLASS 5000
click-button $CAL_CLASS &Settings
await-window $CAL_CLASS 1000
mark default-date
ribbon ZorelButtonSettings
dump C2:C4
mark done
quit
STEPS
log="$out/dialogs.log"
"$WINE64" "$exe" --script "Z:${out//\//\\}\\dialogs.txt" > "$log" 2>&1 &
excel=$!

# 1. From the ribbon: a five-digit year is refused with the field named, then a valid year stores.
read -r _ _ ax ay < <(wait_line "$log" '^where A5' 60)
wait_line "$log" '^mark ribbon' 30 >/dev/null
if id="$(await_title Settings 15)"; then
  shot dialog-settings
  read_by readers-settings.log Edit:111 Edit:112 ComboBox:120
  xdotool mousemove "$ax" "$ay" click 1  # Excel is blocked while the dialog is open
  keys alt+p Tab Tab
  typed 20000
  keys Return
  if await_title Tessaly 5 >/dev/null; then shot dialog-settings-message; fi
  keys Return
  typed 2010
  keys Return
  check 'await_gone Settings 5' "the options dialog from the ribbon closes on a valid OK"
else
  check false "the ribbon's Settings button opens the options dialog"
fi
check 'wait_line "$log" "^selection C2" 10 >/dev/null' "a click on the sheet while the dialog is open does not reach Excel"

# 2. From the calendar's Settings button, the calendar opened by the ribbon's command over three
# cells of three formats: the custom date formats dialog refuses a duplicate in another letter
# case, looks a format up in Format Cells, and stores its list on OK.
wait_line "$log" '^mark calendar' 30 >/dev/null
if id="$(await_title Settings 15)"; then
  keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
  if await_title "Custom Date Formats" 10 >/dev/null; then
    read_by readers-date-formats.log ListBox:200 Edit:201 Button:202 Button:204 ListBox:205 Button:207 Button:209
    keys Tab
    typed yyyy/mm/dd
    keys Tab space
    typed YYYY/MM/DD
    keys Tab space
    if await_title Tessaly 5 >/dev/null; then shot dialog-date-formats-message; fi
    keys Return
    keys Tab Tab Tab Tab Tab Tab Tab Tab space  # Format Cells / Number
    await_title "Format Cells" 5 >/dev/null && shot format-cells
    await_gone "Format Cells" 10
    shot dialog-date-formats
    keys alt+o
    check 'await_gone "Custom Date Formats" 5' "the custom date formats dialog closes on OK"
  else
    check false "the options dialog's Custom Date Formats button opens its dialog"
  fi
  keys Escape
  check 'await_gone Settings 5' "the options dialog from the calendar closes with Escape"
else
  check false "the calendar's Settings button opens the options dialog"
fi

# 3. The default date dialog: the 31st of February is refused, then a date remembered.
wait_line "$log" '^mark default-date' 30 >/dev/null
if id="$(await_title Settings 15)"; then
  keys shift+Tab shift+Tab shift+Tab shift+Tab space
  if await_title "Default date" 10 >/dev/null; then
    read_by readers-default-date.log "#32770" Edit:300
    typed 2/31/2025
    keys Return
    if await_title Tessaly 5 >/dev/null; then shot dialog-default-date-message; fi
    keys Return
    typed 12/24/2025
    keys Tab space
    shot dialog-default-date
    keys Return
    check 'await_gone "Default date" 5' "the default date dialog closes on OK"
  else
    check false "the options dialog's Default Date button opens its dialog"
  fi
  keys Escape
  await_gone Settings 5
fi
wait_line "$log" '^mark done' 30 >/dev/null
wait "$excel"
sed -i 's/\r$//' "$log"

check '[ "$(stored CalendarYearMin)" = 2010 ]' "the options dialog stored the From year"
check '[ "$(stored SetDateFormatForNonDateCell)" = 0 ]' "and the check box changed with its access key"
check '[ -z "$(stored CalendarYearMax)" ]' "and nothing it did not change"
check '[ "$(stored CustomDateFormatsValid)" = yyyy/mm/dd ]' "the custom date formats dialog stored its list, once"
check 'grep -q "^cell C2 = \"3 Nov 2025\" \[d mmm yyyy\]$" "$log" && grep -q "^cell C3 = \"\" \[0.00%\]$" "$log" &&
       grep -q "^cell C4 = \"\" \[@\]$" "$log"' "Format Cells closed with OK over three selected cells leaves each one's format"
check '[ "$(stored DefaultDate)" = 12/24/2025 ] && [ "$(stored DefaultDateResotre)" = 1 ]' "the default date dialog remembered the date"
# Readers name each edit and list by its own label or list, and each Add, Delete and Clear All
# button by its list; the default date dialog's picture is no object of theirs. (Wine's proxies
# give a text box its role, 0x2a, and the other controls only the client's. Wine's UI Automation
# has no element for a window without a provider of its own, and its bridge over an IAccessible
# reads no name: the names are read through oleacc only.)
told readers-settings.log '^acc Edit:111 name="Date format for cells not formatted as date" role=0x2a ' \
  "the default format's box is named for what it holds, not by a label elsewhere"
told readers-settings.log '^acc Edit:112 name="From" ' "the first year's box by its label"
told readers-settings.log '^acc ComboBox:120 name="Numbering" ' "a drop-down list by its label, not by its value"
told readers-date-formats.log '^acc ListBox:200 name="Valid date formats" ' "the valid list by its caption"
told readers-date-formats.log '^acc ListBox:205 name="Invalid date formats" ' "the invalid list by its own"
told readers-date-formats.log '^acc Edit:201 name="Valid date format to add" ' "the valid list's entry box"
told readers-date-formats.log '^acc Button:202 name="Add valid date format" ' "Add with its list"
told readers-date-formats.log '^acc Button:207 name="Add invalid date format" ' "the other Add with the other list"
told readers-date-formats.log '^acc Button:209 name="Clear all invalid date formats" ' "Clear All with its list"
told readers-default-date.log '^acc #32770 children=7$' "the default date dialog's picture is no child of its reader object"
told readers-default-date.log '^acc Edit:300 name="Set the calendar to this date if the target cell does not contain a date value." ' \
  "and its date box is named by the label above it"
[ "$failures" -eq 0 ] || { echo "--- stand-in Excel's output"; cat "$log"; }
echo "dialog tests: $failures failed"
[ "$failures" -eq 0 ]
