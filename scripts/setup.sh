#!/usr/bin/env bash
# Brings a Debian 12 machine to the point where the programs and the tests build:
# system packages, the generated zh_CN locale, and the cross-built third-party
# libraries. Safe to run again: every step checks first and skips what is done.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine.sh"
source "$here/targets.sh"

log() { printf '[setup] %s\n' "$*"; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine64 xvfb xauth libz-mingw-w64-dev libstb-dev dpkg-dev cmake make googletest
  fonts-wqy-microhei locales zip unzip imagemagick python3 openssl curl
  ca-certificates x11-utils clang-format
)
# The 32-bit Wine and its i386 libraries only where the kernel runs 32-bit
# programs: elsewhere their install scripts fail with "Exec format error".
if machine_runs_32bit_programs; then
  packages+=(wine32:i386)
  log "this machine runs 32-bit programs: installing 32-bit Wine as well"
else
  log "this machine runs no 32-bit programs: 64-bit Wine only"
fi

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

enable_sources() {
  local changed=0
  if machine_runs_32bit_programs && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386; changed=1
  fi
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ] && grep -q '^Types: deb$' "$src"; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"; changed=1
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | as_root tee -a /etc/apt/sources.list >/dev/null; changed=1
  fi
  return $changed
}

install_packages() {
  local need
  need=$(missing_packages)
  if ! enable_sources || [ -n "$need" ]; then
    log "installing: ${need:-(package lists only)}"
    as_root apt-get update -q
    # shellcheck disable=SC2086
    [ -z "$need" ] || DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends $need
  fi
}

generate_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    log "generating zh_CN.UTF-8"
    as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

install_packages
generate_locale
for target in $CALVERIN_TARGETS; do
  "$here/build-deps.sh" "$target"
done
