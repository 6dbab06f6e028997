#!/bin/bash
# Sets up the Wine prefix in $WINEPREFIX for the Windows tests: created if
# new, Tahoma linked to the IPA proportional Gothic for Japanese texts (as a
# Japanese Windows links its UI font to a Japanese face), and with Wine's null
# graphics driver, so that programs can own windows without a display; with
# --display, the X11 driver instead, for the tests that look at the window on
# a (virtual) display. The server is restarted so the settings apply.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix folder}"
driver=null
[[ ${1:-} == --display ]] && driver=x11
export WINEDEBUG=${WINEDEBUG:--all}
if [[ $driver == x11 ]]; then
  # Every program of the prefix on one virtual desktop that Wine draws with
  # its window frames, so they find each other's windows.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${WINE_DESKTOP_SIZE:-800x500}" /f >/dev/null 2>&1
else
  wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
fi
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$driver" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
