#!/usr/bin/env bash
# Cross-builds OpenSSL, libcurl, jsoncpp and minizip from Debian's source
# packages into a prefix keyed by their pinned versions. A prefix that is
# complete (it holds the stamp file) is left alone.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/deps-versions.sh"
prefix=$DEPS_PREFIX
stamp="$prefix/.complete"
if [ -f "$stamp" ]; then
  echo "[deps] up to date: $prefix"
  exit 0
fi

triple=i686-w64-mingw32
CC=$triple-gcc-posix AR=$triple-ar
jobs=$(nproc)
work=$(mktemp -d "${TMPDIR:-/tmp}/calverin-deps.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix"

source_dir() { # package, versions to try[, extra dpkg-source flags] -> unpacks the first one found and prints its folder
  local pkg=$1 version dir
  for version in $2; do
    rm -rf "$work/$pkg" && mkdir -p "$work/$pkg" && cd "$work/$pkg"
    if apt-get source -q --download-only "$pkg=$version" >>"$work/$pkg.log" 2>&1 &&
       dpkg-source -x ${3:-} ./*.dsc >>"$work/$pkg.log" 2>&1; then
      dir=$(find . -mindepth 1 -maxdepth 1 -type d | head -n1)
      echo "$work/$pkg/${dir#./}"
      return 0
    fi
  done
  cat "$work/$pkg.log" >&2
  return 1
}

build_openssl() {
  # Debian's own patches switch the 32-bit assembler to an ELF flavour that
  # cannot be linked into a Windows program, so the upstream source is built.
  local src; src=$(source_dir openssl "$OPENSSL_VERSIONS" --skip-patches)
  echo "[deps] openssl"
  (cd "$src" && ./Configure mingw no-shared no-tests --cross-compile-prefix=$triple- --prefix="$prefix" --libdir=lib \
     CC=gcc-posix >"$work/openssl.build.log" 2>&1 &&
   make -j"$jobs" build_libs >>"$work/openssl.build.log" 2>&1 && make install_dev >>"$work/openssl.build.log" 2>&1) ||
    { tail -n 40 "$work/openssl.build.log" >&2; return 1; }
}

build_curl() {
  local src; src=$(source_dir curl "$CURL_VERSIONS")
  echo "[deps] curl"
  (cd "$src" && ./configure --host=$triple CC="$CC" --prefix="$prefix" --with-openssl="$prefix" --with-zlib=/usr/$triple \
     --disable-shared --enable-static --disable-ldap --disable-ldaps --disable-rtsp --disable-dict --disable-telnet \
     --disable-tftp --disable-pop3 --disable-imap --disable-smtp --disable-gopher --disable-mqtt --disable-smb \
     --disable-manual --without-libpsl --without-brotli --without-zstd --without-libidn2 --without-nghttp2 \
     --without-librtmp --without-libssh2 LIBS="-lcrypt32 -lws2_32 -lbcrypt" >"$work/curl.build.log" 2>&1 &&
   make -j"$jobs" -C lib >>"$work/curl.build.log" 2>&1 && make -C lib install >>"$work/curl.build.log" 2>&1 &&
   make -C include install >>"$work/curl.build.log" 2>&1) ||
    { tail -n 40 "$work/curl.build.log" >&2; return 1; }
}

build_jsoncpp() {
  local src; src=$(source_dir libjsoncpp "$JSONCPP_VERSIONS")
  echo "[deps] jsoncpp"
  (cmake -S "$src" -B "$work/jsoncpp-build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-i686.cmake" \
     -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
     -DBUILD_OBJECT_LIBS=OFF -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
     -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=OFF >"$work/jsoncpp.build.log" 2>&1 &&
   cmake --build "$work/jsoncpp-build" -j"$jobs" >>"$work/jsoncpp.build.log" 2>&1 &&
   cmake --install "$work/jsoncpp-build" >>"$work/jsoncpp.build.log" 2>&1) ||
    { tail -n 40 "$work/jsoncpp.build.log" >&2; return 1; }
}

# minizip ships inside zlib's sources; its unzip.c compiles decryption out
# unconditionally, and the skins and packages are password-protected.
build_minizip() {
  local src; src=$(source_dir zlib "$ZLIB_VERSIONS")
  echo "[deps] minizip"
  local mz="$src/contrib/minizip"
  sed -i '/^ *# *define NOUNCRYPT/d' "$mz/unzip.c"
  if grep -q 'define NOUNCRYPT' "$mz/unzip.c"; then echo "NOUNCRYPT still defined" >&2; return 1; fi
  mkdir -p "$prefix/include/minizip" "$work/minizip-obj"
  local f
  for f in unzip ioapi iowin32; do
    $CC -O2 -c "$mz/$f.c" -o "$work/minizip-obj/$f.o" 2>>"$work/minizip.build.log" ||
      { cat "$work/minizip.build.log" >&2; return 1; }
  done
  $AR rcs "$prefix/lib/libminizip.a" "$work/minizip-obj"/*.o
  cp "$mz"/{unzip.h,ioapi.h,iowin32.h,crypt.h} "$prefix/include/minizip/"
}

mkdir -p "$prefix/lib" "$prefix/include"
build_openssl
build_curl
build_jsoncpp
build_minizip
touch "$stamp"
echo "[deps] built into $prefix"
