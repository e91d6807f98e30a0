# Every Wine call of the project goes through here: /usr/bin/wine always starts
# the 32-bit loader, which machines whose kernel runs no 32-bit programs cannot
# start. Sourced by the other scripts.
#   use_wine TARGET   exports CALVERIN_WINE (the loader that runs TARGET's
#                     programs), WINELOADER and WINESERVER
#   calverin_wine ... runs a program with that loader
#   machine_runs_32bit_programs   true where the kernel runs i386 programs
WINE_LIB_DIR=${CALVERIN_WINE_LIB_DIR:-/usr/lib/wine}

wine_loader_for() { # target -> the loader's path
  case $1 in
    i686) echo "$WINE_LIB_DIR/wine" ;;
    x86_64) echo "$WINE_LIB_DIR/wine64" ;;
    *) echo "unknown target '$1' (i686 or x86_64)" >&2; return 1 ;;
  esac
}

# One server serves both kinds of program of a 64-bit prefix; a 32-bit server
# only where no 64-bit Wine is installed.
wine_server() {
  if [ -x "$WINE_LIB_DIR/wineserver64" ]; then echo "$WINE_LIB_DIR/wineserver64"; else echo "$WINE_LIB_DIR/wineserver32"; fi
}

use_wine() {
  CALVERIN_WINE=$(wine_loader_for "$1")
  WINELOADER=$CALVERIN_WINE
  WINESERVER=$(wine_server)
  export CALVERIN_WINE WINELOADER WINESERVER
}

calverin_wine() {
  "${CALVERIN_WINE:?call use_wine first}" "$@"
}

# Runs a 93-byte static i386 program that only exits with 0 (its header, one
# loadable segment, and "mov eax,1; xor ebx,ebx; int 0x80"). It needs no
# library, not even Python, so it answers before anything is installed; a
# kernel without 32-bit emulation refuses it with "Exec format error".
# CALVERIN_RUNS_32BIT=no makes a machine that can behave as one that cannot.
machine_runs_32bit_programs() {
  if [ -z "${CALVERIN_RUNS_32BIT:-}" ]; then
    local probe
    probe=$(mktemp "${TMPDIR:-/tmp}/calverin-probe32.XXXXXX")
    local elf='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'
    elf+='\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00'
    elf+='\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    elf+='\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
    # shellcheck disable=SC2059
    printf "$elf" >"$probe"
    chmod +x "$probe"
    if "$probe" 2>/dev/null; then CALVERIN_RUNS_32BIT=yes; else CALVERIN_RUNS_32BIT=no; fi
    rm -f "$probe"
    export CALVERIN_RUNS_32BIT
  fi
  [ "$CALVERIN_RUNS_32BIT" = yes ]
}

# The Wine of a configured build folder: the one its tests run with.
use_wine_of_build() { # build folder
  CALVERIN_WINE=$(sed -n 's/^CALVERIN_WINE:FILEPATH=//p' "$1/CMakeCache.txt")
  [ -n "$CALVERIN_WINE" ] || { echo "$1 is no configured test build" >&2; return 1; }
  WINELOADER=$CALVERIN_WINE
  WINESERVER=$(wine_server)
  export CALVERIN_WINE WINELOADER WINESERVER
}
