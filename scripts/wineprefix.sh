#!/usr/bin/env bash
# Creates the build's own Wine prefix once (quiet, without a crash debugger,
# with the Chinese UI font face mapped to the installed CJK font) and starts
# its server for the run.
set -euo pipefail
prefix=${1:?wine prefix folder}
stamp="$prefix/.calverin-ready"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

create_prefix() {
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '微软雅黑' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
}

[ -f "$stamp" ] || create_prefix
# Start the prefix's server and system processes here, detached from every
# test's output: a test program that started them would be held open until
# they exit. The test command stops them at its end.
# A server left running by an earlier run serves this one as well.
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null
