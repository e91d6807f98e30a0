#!/usr/bin/env bash
# Cross-builds OpenSSL, libcurl (with the patches in deps-patches/), jsoncpp
# and minizip for one target from Debian's source packages, and curl.exe from
# the same libcurl and OpenSSL (the benchmarks' Windows peer of the client):
#   build-deps.sh TARGET  (i686 or x86_64; CALVERIN_DEPS_JOBS parallel jobs,
#   default all processors).
# The prefix is keyed by the target, the versions built and this recipe; a
# complete one (it holds the stamp file) is left alone.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/deps-versions.sh"
source "$here/targets.sh"
target=${1:?target (i686 or x86_64)}
triple=$(target_triple "$target")
pinned_prefix=$(deps_prefix "$target")
if [ -f "$pinned_prefix/.complete" ]; then
  echo "[deps] up to date: $pinned_prefix"
  exit 0
fi

CC=$triple-gcc-posix AR=$triple-ar
jobs=${CALVERIN_DEPS_JOBS:-$(nproc)}
work=$(mktemp -d "${TMPDIR:-/tmp}/calverin-deps.XXXXXX")
trap 'rm -rf "$work"' EXIT

fetch_source() { # package, version or "" for the index's own, extra dpkg-source flags
  rm -rf "$work/$1" && mkdir -p "$work/$1" && cd "$work/$1"
  apt-get source -q --download-only "$1${2:+=$2}" >>"$work/$1.log" 2>&1 &&
    dpkg-source -x ${3:-} ./*.dsc >>"$work/$1.log" 2>&1
}

# Unpacks the first pinned version that can be fetched, else the version the
# package index offers now (saying so); records the source folder in
# src_<package> and the version in built_<package>.
unpack_source() { # package, versions to try[, extra dpkg-source flags]
  local pkg=$1 version dir found=""
  for version in $2; do
    if fetch_source "$pkg" "$version" "${3:-}"; then found=$version; break; fi
  done
  if [ -z "$found" ]; then
    fetch_source "$pkg" "" "${3:-}" || { cat "$work/$pkg.log" >&2; return 1; }
  fi
  dir=$(find "$work/$pkg" -mindepth 1 -maxdepth 1 -type d | head -n1)
  version=$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)
  [ -n "$found" ] || echo "[deps] none of the pinned versions of $pkg ($2) can be fetched; building $version, the version the package index offers now" >&2
  printf -v "built_$pkg" %s "$version"
  printf -v "src_$pkg" %s "$dir"
}

build_openssl() {
  # Debian's own patches switch the 32-bit assembler to an ELF flavour that
  # cannot be linked into a Windows program, so the upstream source is built.
  local src=$src_openssl
  echo "[deps] openssl"
  (cd "$src" && ./Configure "$(target_openssl_platform "$target")" no-shared no-tests --cross-compile-prefix=$triple- --prefix="$prefix" --libdir=lib \
     CC=gcc-posix >"$work/openssl.build.log" 2>&1 &&
   make -j"$jobs" build_libs >>"$work/openssl.build.log" 2>&1 && make install_dev >>"$work/openssl.build.log" 2>&1) ||
    { tail -n 40 "$work/openssl.build.log" >&2; return 1; }
}

build_curl() {
  local src=$src_curl patch
  echo "[deps] curl"
  for patch in "$here"/deps-patches/curl-*.patch; do
    patch -d "$src" -p1 --quiet <"$patch" >>"$work/curl.build.log" 2>&1 ||
      { echo "[deps] $patch does not apply to curl $built_curl" >&2; return 1; }
  done
  (cd "$src" && ./configure --host=$triple CC="$CC" --prefix="$prefix" --with-openssl="$prefix" --with-zlib=/usr/$triple \
     --disable-shared --enable-static --disable-ldap --disable-ldaps --disable-rtsp --disable-dict --disable-telnet \
     --disable-tftp --disable-pop3 --disable-imap --disable-smtp --disable-gopher --disable-mqtt --disable-smb \
     --disable-manual --without-libpsl --without-brotli --without-zstd --without-libidn2 --without-nghttp2 \
     --without-librtmp --without-libssh2 LIBS="-lcrypt32 -lws2_32 -lbcrypt" >"$work/curl.build.log" 2>&1 &&
   make -j"$jobs" -C lib >>"$work/curl.build.log" 2>&1 && make -C lib install >>"$work/curl.build.log" 2>&1 &&
   make -C include install >>"$work/curl.build.log" 2>&1 &&
   make -j"$jobs" -C src AM_LDFLAGS=-all-static >>"$work/curl.build.log" 2>&1 &&
   mkdir -p "$prefix/bin" && cp src/curl.exe "$prefix/bin/curl.exe") ||
    { tail -n 40 "$work/curl.build.log" >&2; return 1; }
}

build_jsoncpp() {
  local src=$src_libjsoncpp
  echo "[deps] jsoncpp"
  (cmake -S "$src" -B "$work/jsoncpp-build" -DCMAKE_TOOLCHAIN_FILE="$(target_toolchain_file "$target")" \
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
  local src=$src_zlib
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

unpack_source openssl "$OPENSSL_VERSIONS" --skip-patches
unpack_source curl "$CURL_VERSIONS"
unpack_source libjsoncpp "$JSONCPP_VERSIONS"
unpack_source zlib "$ZLIB_VERSIONS"
prefix="$DEPS_CACHE_ROOT/built/$target-$(deps_key "$target" "$built_openssl" "$built_curl" "$built_libjsoncpp" "$built_zlib")"
stamp="$prefix/.complete"
if [ ! -f "$stamp" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix/lib" "$prefix/include"
  build_openssl
  build_curl
  build_jsoncpp
  build_minizip
  echo "openssl $built_openssl, curl $built_curl, jsoncpp $built_libjsoncpp, zlib $built_zlib" >"$prefix/versions"
  touch "$stamp"
fi
mkdir -p "$(dirname "$pinned_prefix")"
ln -sfn "$prefix" "$pinned_prefix"
echo "[deps] $target: $(cat "$prefix/versions") in $prefix"
