#!/usr/bin/env bash
# Installs what is missing, configures the loopback build of one target and
# builds it:  build.sh BUILD_ROOT TARGET [cmake --build arguments]
# The target's build lands in BUILD_ROOT/TARGET. CALVERIN_SETUP_DONE=1 skips
# the set-up when the caller has just run it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=${1:?build root}
target=${2:?target (i686 or x86_64)}
shift 2
source "$here/targets.sh"
build=$(target_build_dir "$root" "$target")

[ "${CALVERIN_SETUP_DONE:-}" = 1 ] || "$here/setup.sh"
"$here/configure.sh" "$build" "$target"
cmake --build "$build" -j"$(nproc)" "$@"
