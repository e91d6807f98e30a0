#!/usr/bin/env bash
# Creates a build's own Wine prefix once (quiet, without a crash debugger,
# with the Chinese UI font face mapped to the installed CJK font) and starts
# its server for the run:  wineprefix.sh PREFIX_FOLDER
# Every prefix is a 64-bit one made by the 64-bit Wine: it runs the x86_64
# programs, and the i686 ones beside them with both registry views, as on
# 64-bit Windows.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine.sh"
prefix=${1:?wine prefix folder}
stamp="$prefix/.calverin-ready"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
use_wine x86_64

create_prefix() {
  mkdir -p "$prefix"
  calverin_wine wineboot -i >/dev/null 2>&1
  calverin_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  calverin_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  calverin_wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  calverin_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$stamp"
}

[ -f "$stamp" ] || create_prefix
# Shortcuts that tests make must stay in the prefix: its desktop folders are
# its own, never links to the host user's.
for desktop in "$prefix"/drive_c/users/*/Desktop; do
  if [ -L "$desktop" ]; then
    rm "$desktop"
    mkdir -p "$desktop"
  fi
done
# Start the prefix's server and system processes here, detached from every
# test's output: a test program that started them would be held open until
# they exit. The test command stops them at its end.
# A server left running by an earlier run serves this one as well.
"$WINESERVER" -p >/dev/null 2>&1 </dev/null || true
calverin_wine cmd /c exit >/dev/null 2>&1 </dev/null
# No window manager runs on the tests' X screen, and Wine's X11 driver waits
# up to 2 s for one to withdraw each managed window that hides or is
# destroyed while shown; windows it leaves unmanaged hide at once. Set here,
# on the running server, so that a prefix made before holds it too.
if ! grep -q '^"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
  calverin_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
fi
