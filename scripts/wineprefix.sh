#!/usr/bin/env bash
# Creates the build's own Wine prefix once: quiet, without a crash debugger,
# and with the Chinese UI font face mapped to the installed CJK font.
set -euo pipefail
prefix=${1:?wine prefix folder}
stamp="$prefix/.calverin-ready"
[ -f "$stamp" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
