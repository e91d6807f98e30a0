#!/usr/bin/env bash
# Configures a build that talks to the reference web service on loopback,
# as the tests and the demo need.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:?build folder}
deps=${2:?dependency prefix}
source "$here/service-settings.sh"
cmake -S "$here/.." -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-i686.cmake" \
  -DCALVERIN_DEPS_PREFIX="$deps" \
  -DCALVERIN_API_HOST="$SERVICE_API_HOST" -DCALVERIN_FALLBACK_IP="$SERVICE_FALLBACK_IP" \
  -DCALVERIN_SIGN_SALT="$SERVICE_SIGN_SALT" -DCALVERIN_DATA_KEY="$SERVICE_DATA_KEY" >/dev/null
