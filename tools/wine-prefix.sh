#!/bin/sh
# Creates the headless Wine prefix once; later calls return at once.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine-env.sh"
[ -f "$WINEPREFIX/.lgt-ready" ] && exit 0
echo "creating Wine prefix in $WINEPREFIX"
mkdir -p "$HOME"
rm -rf "$WINEPREFIX"
# wineboot must not try to show anything.
DISPLAY= "$WINE64" wineboot -i >/dev/null 2>&1 || true
"$WINESERVER" -w
"$WINE64" regedit /S "$root/tools/headless.reg" >/dev/null 2>&1
# Chinese text: the system's Chinese font for the caption font and as fallback.
python3 "$root/tools/cjk-fonts.py" "$HOME/cjk-fonts.reg"
"$WINE64" regedit /S "$HOME/cjk-fonts.reg" >/dev/null 2>&1
"$WINESERVER" -w
# Audio goes to a null device, so the mixer and wave output work without sound hardware.
printf 'pcm.!default { type null }\nctl.!default { type null }\n' > "$HOME/.asoundrc"
touch "$WINEPREFIX/.lgt-ready"
