# The two Windows targets built from one source. i686 makes the programs that
# ship; x86_64 runs the tests on every machine, including those whose kernel
# runs no 32-bit programs. Sourced by the other scripts.
CALVERIN_TARGETS="x86_64 i686"

target_triple() { # target -> mingw triple
  case $1 in
    i686) echo i686-w64-mingw32 ;;
    x86_64) echo x86_64-w64-mingw32 ;;
    *) echo "unknown target '$1' (i686 or x86_64)" >&2; return 1 ;;
  esac
}

target_openssl_platform() { # target -> OpenSSL's Configure platform
  case $1 in
    i686) echo mingw ;;
    x86_64) echo mingw64 ;;
    *) echo "unknown target '$1' (i686 or x86_64)" >&2; return 1 ;;
  esac
}

target_toolchain_file() { # target -> the CMake toolchain file
  echo "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/mingw-$1.cmake"
}

target_build_dir() { # build root, target -> that target's build folder
  echo "$1/$2"
}
