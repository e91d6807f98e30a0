#!/usr/bin/env bash
# Configures a build of one target that talks to the reference web service on
# loopback, as the tests and the demo need:  configure.sh BUILD_FOLDER TARGET
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:?build folder}
target=${2:?target (i686 or x86_64)}
source "$here/service-settings.sh"
service_settings_for_target "$target"
source "$here/deps-versions.sh"
source "$here/targets.sh"
source "$here/wine.sh"
cmake -S "$here/.." -B "$build" -DCMAKE_TOOLCHAIN_FILE="$(target_toolchain_file "$target")" \
  -DCALVERIN_DEPS_PREFIX="$(deps_prefix "$target")" \
  -DCALVERIN_WINE="$(wine_loader_for "$target")" -DCALVERIN_WINESERVER="$(wine_server)" \
  -DCALVERIN_API_HOST="$SERVICE_API_HOST" -DCALVERIN_FALLBACK_IP="$SERVICE_FALLBACK_IP" \
  -DCALVERIN_SIGN_SALT="$SERVICE_SIGN_SALT" -DCALVERIN_DATA_KEY="$SERVICE_DATA_KEY" >/dev/null
