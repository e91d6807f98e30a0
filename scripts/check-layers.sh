#!/usr/bin/env bash
# Each folder is a layer and includes only from the layers below it (and its
# own), always naming the folder from the library root:
#   uiframework/core        core
#   uiframework/controls    core, controls
#   uiframework/builder     core, controls, builder
#   client/services         services (no window code)
#   client/dialogs          services, core, controls, builder, dialogs
#   client/mainwindow       services, core, controls, builder, dialogs, mainwindow
#   client/Main.cpp, uninstaller/   any of them
# Prints every include that breaks the rule and fails if there is one.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

allowed_for() { # source file -> the folders it may include from
  case $1 in
    uiframework/core/*) echo "core" ;;
    uiframework/controls/*) echo "core controls" ;;
    uiframework/builder/*) echo "core controls builder" ;;
    client/services/*) echo "services" ;;
    client/dialogs/*) echo "services core controls builder dialogs" ;;
    client/mainwindow/*) echo "services core controls builder dialogs mainwindow" ;;
    *) echo "services core controls builder dialogs mainwindow" ;;
  esac
}

layers="services|core|controls|builder|dialogs|mainwindow"

problems=0
while IFS= read -r file; do
  allowed=" $(allowed_for "$file") "
  while IFS=: read -r line include; do
    folder=${include%%/*}
    if [[ $include != */* ]]; then
      echo "$file:$line: \"$include\" names no folder (write it as folder/$include)"
      problems=$((problems + 1))
    elif [[ $folder =~ ^($layers)$ && $allowed != *" $folder "* ]]; then
      echo "$file:$line: includes \"$include\", but ${file%/*} may include only from:$allowed"
      problems=$((problems + 1))
    fi
  done < <(grep -n -o -E '^\s*#\s*include\s+"[^"]+"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(git ls-files 'client/*.h' 'client/*.cpp' 'uiframework/*.h' 'uiframework/*.cpp' 'uninstaller/*.h' 'uninstaller/*.cpp')

if ((problems)); then
  echo "check-layers: $problems include(s) break the layer rules"
  exit 1
fi
echo "check-layers: every include keeps to its layer"
