# Sourced by the Wine scripts: where the prefix lives and how Wine is started.
# $root must be the project folder.
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
# The prefix links Desktop, Documents... to $HOME, so Wine gets a scratch home.
export HOME="$root/build/winehome"
export WINEPREFIX="${LGT_WINEPREFIX:-$root/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No download prompts for the .NET and HTML engines, no menu entries, and no
# Linux browser opened when the program asks the shell to open a web address.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebrowser.exe=d"
