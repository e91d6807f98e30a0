#!/usr/bin/env bash
# Installs what is missing, configures the loopback build in the given folder
# and builds it. Further arguments go to `cmake --build` (e.g. --target NAME).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:?build folder}
shift

"$here/setup.sh"
source "$here/deps-versions.sh"
"$here/configure.sh" "$build" "$DEPS_PREFIX"
cmake --build "$build" -j"$(nproc)" "$@"
