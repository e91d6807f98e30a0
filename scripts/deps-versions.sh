# Pinned Debian source versions of the cross-built libraries, and where their
# build is cached. The mirror does not always keep every file of a security
# release, so each library names the versions to try in turn; when none of
# them can be fetched any more, build-deps.sh takes the version the package
# index offers now. Sourced by the other scripts.
OPENSSL_VERSIONS="3.0.20-1~deb12u2 3.0.17-1~deb12u2 3.0.22-1~deb12u2"
CURL_VERSIONS="7.88.1-10+deb12u15 7.88.1-10+deb12u5"
JSONCPP_VERSIONS="1.9.5-4"
ZLIB_VERSIONS="1:1.2.13.dfsg-1"

DEPS_CACHE_ROOT=${CALVERIN_DEPS_CACHE:-/var/cache/calverin-deps}

# Hash of the target, the given versions and the build recipe (with its
# patches): a changed version, recipe, patch or toolchain file never reuses a
# stale prefix.
deps_key() { # target, versions...
  local here target=$1
  shift
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  { echo "$target $*"; cat "$here/build-deps.sh" "$here"/deps-patches/*.patch "$here/../cmake/mingw-common.cmake" "$here/../cmake/mingw-$target.cmake"; } |
    sha256sum | cut -c1-16
}

# The prefix that a build of TARGET uses: named by the pinned lists, it is the
# prefix built from them or a link to the one built from the versions taken
# instead.
deps_prefix() { # target
  echo "$DEPS_CACHE_ROOT/pinned/$1-$(deps_key "$1" "$OPENSSL_VERSIONS" "$CURL_VERSIONS" "$JSONCPP_VERSIONS" "$ZLIB_VERSIONS")"
}
