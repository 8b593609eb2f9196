# Sourced by the main job and the Wine tests: installs the add-in for the current user of a
# throwaway Wine prefix ($WINEPREFIX) the way the per-user installer does, and runs the stand-in Excel.
WINE64=/usr/lib/wine/wine64

# install_addin <folder holding Tessaly.dll and the files shipped beside it>
install_addin() {
  local from="$1" dest
  dest="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Tessaly"
  mkdir -p "$dest"
  cp "$from/Tessaly.dll" "$dest/"
  for f in caltab.xml calgroup.xml TESSALY.chm; do [ -f "$from/$f" ] && cp "$from/$f" "$dest/"; done
  [ -d "$from/pictures" ] && cp -r "$from/pictures" "$dest/"
  local dll="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Tessaly\\Tessaly.dll"
  "$WINE64" regsvr32 /s "$dll"
  mirror_user_classes
  local key='HKCU\Software\Microsoft\Office\Excel\Addins\TESSALY.Connect'
  "$WINE64" reg add "$key" /v LoadBehavior /t REG_DWORD /d 3 /f >/dev/null
  "$WINE64" reg add "$key" /v FriendlyName /t REG_SZ /d Tessaly /f >/dev/null
  "$WINE64" reg add "$key" /v Description /t REG_SZ /d "Date picker for Excel" /f >/dev/null
}

# Wine maps HKEY_CLASSES_ROOT to HKEY_LOCAL_MACHINE\Software\Classes only (WineHQ bug 14771), so a
# class registered per user, as the add-in registers itself and as Windows finds it, is invisible
# to CoCreateInstance under Wine. In this throwaway test prefix only, the per-user class keys are
# copied under HKEY_LOCAL_MACHINE; the product itself never registers machine-wide.
mirror_user_classes() {
  local tmp
  tmp="$(mktemp -d)"
  "$WINE64" reg export 'HKCU\Software\Classes' "$tmp/user.reg" /y >/dev/null
  iconv -f UTF-16LE -t UTF-8 "$tmp/user.reg" | sed 's/HKEY_CURRENT_USER\\Software\\Classes/HKEY_LOCAL_MACHINE\\Software\\Classes/' |
    iconv -f UTF-8 -t UTF-16LE > "$tmp/machine.reg"
  "$WINE64" reg import "$tmp/machine.reg" >/dev/null
  rm -rf "$tmp"
}

# wait_line <log> <pattern> <seconds>: prints the first line of the log matching the pattern.
wait_line() {
  local log="$1" pattern="$2" left=$(( $3 * 10 ))
  while [ "$left" -gt 0 ]; do
    # The console writes CR LF.
    if grep -m1 -E "$pattern" "$log" 2>/dev/null | tr -d '\r' | grep .; then return 0; fi
    sleep 0.1
    left=$((left - 1))
  done
  return 1
}

# await_title <title> <seconds>: the X window of a visible top-level window with exactly that title.
await_title() {
  local left=$(( $2 * 10 )) id
  while [ "$left" -gt 0 ]; do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
    left=$((left - 1))
  done
  return 1
}

# start_two_screens: two 1280 by 800 screens side by side, joined by Xinerama, on a free display
# inside the current one (Xvfb's own +xinerama puts every screen at one origin). RANDR is off, so
# that Wine asks Xinerama and reports two monitors. Sets TWO_SCREENS (the display) and
# TWO_SCREENS_PID; fails when Xephyr is missing or does not start.
start_two_screens() {
  command -v Xephyr >/dev/null || return 1
  local n=150
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xephyr ":$n" +xinerama -screen 1280x800 -screen 1280x800 -extension RANDR -ac -br -noreset >/dev/null 2>&1 &
  TWO_SCREENS_PID=$!
  TWO_SCREENS=":$n"
  local left=50
  until DISPLAY="$TWO_SCREENS" xdotool getmouselocation >/dev/null 2>&1; do
    left=$((left - 1))
    [ "$left" -gt 0 ] || return 1
    sleep 0.1
  done
}
