# Pinned Debian source versions of the cross-built libraries, and where their
# build is cached. Changing a version (or the build recipe) changes the key,
# so a stale prefix is never reused. The mirror does not always keep every
# file of a security release, so each library names the versions to try in turn.
OPENSSL_VERSIONS="3.0.20-1~deb12u2 3.0.17-1~deb12u2 3.0.22-1~deb12u2"
CURL_VERSIONS="7.88.1-10+deb12u15 7.88.1-10+deb12u5"
JSONCPP_VERSIONS="1.9.5-4"
ZLIB_VERSIONS="1:1.2.13.dfsg-1"

deps_key() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  { echo "$OPENSSL_VERSIONS $CURL_VERSIONS $JSONCPP_VERSIONS $ZLIB_VERSIONS"; cat "$here/build-deps.sh" "$here/../cmake/mingw-i686.cmake"; } |
    sha256sum | cut -c1-16
}
DEPS_CACHE_ROOT=${CALVERIN_DEPS_CACHE:-/var/cache/calverin-deps}
DEPS_PREFIX="$DEPS_CACHE_ROOT/$(deps_key)"
