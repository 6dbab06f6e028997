#!/bin/bash
# Sets up the Wine prefix in $WINEPREFIX for the Windows tests: created if
# new, and with Wine's null graphics driver, so that programs can own
# windows without a display. The server is restarted so the driver applies.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the prefix folder}"
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
