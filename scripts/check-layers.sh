#!/usr/bin/env bash
# Each folder is a layer and includes only from the layers below it (and its
# own), always naming the folder from the library root:
#   uiframework/core        core
#   uiframework/controls    core, controls
#   client/services         services (no window code)
#   client/dialogs          services, core, controls, dialogs
#   client/mainwindow       services, core, controls, dialogs, mainwindow
#   client/Main.cpp, uninstaller/   any of them
# Two places in the core reach up by design, and only for what is named:
#   the control factory, the one table of every element name and its class;
#   the container, which creates, sizes and drives its own scroll bars.
# Prints every include that breaks the rule and fails if there is one.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

allowed_for() { # source file -> the folders it may include from
  case $1 in
    uiframework/core/*) echo "core" ;;
    uiframework/controls/*) echo "core controls" ;;
    client/services/*) echo "services" ;;
    client/dialogs/*) echo "services core controls dialogs" ;;
    client/mainwindow/*) echo "services core controls dialogs mainwindow" ;;
    *) echo "services core controls dialogs mainwindow" ;;
  esac
}

layers="services|core|controls|dialogs|mainwindow"

reaches_up_by_design() { # source file, include -> whether the core may name it
  case $1:$2 in
    uiframework/core/ControlFactory.cpp:controls/*) return 0 ;;
    uiframework/core/ContainerUI.cpp:controls/ScrollBarUI.h) return 0 ;;
    uiframework/core/ContainerScroll.cpp:controls/ScrollBarUI.h) return 0 ;;
  esac
  return 1
}
problems=0
while IFS= read -r file; do
  allowed=" $(allowed_for "$file") "
  while IFS=: read -r line include; do
    folder=${include%%/*}
    if [[ $include != */* ]]; then
      echo "$file:$line: \"$include\" names no folder (write it as folder/$include)"
      problems=$((problems + 1))
    elif [[ $folder =~ ^($layers)$ && $allowed != *" $folder "* ]] && ! reaches_up_by_design "$file" "$include"; then
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
