#!/usr/bin/env bash
# Throughput of the client's package steps next to the usual tools on the same
# 200 MB password-protected ZIP package:
#   bench/package_throughput.sh BUILD_FOLDER [RUNS]     (RUNS defaults to 5)
# (BUILD_FOLDER is one target's build, e.g. build/x86_64; the script says which
# target it measures and refuses one that this machine cannot run.)
# It builds package_throughput_bench in the configured build folder, makes the
# package once (cached in BUILD_FOLDER/bench-cache), serves it on free loopback
# ports, and prints the median seconds of each side:
# - download over HTTPS and over HTTP: native curl, curl.exe under Wine (built
#   by scripts/build-deps.sh from the same libcurl and OpenSSL as the client)
#   and CHttpClient::DownloadFile, with the ratios client / curl.exe (the
#   client's own costs) and client / native curl (what the platform costs);
# - digest (CMd5A::GetFileMd5 against md5sum) and extraction (CUnzipper
#   against unzip -P).
# Every ratio compares throughput: higher is better for the client. Windows
# programs run under Wine in the build's own Wine prefix.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
runs=${2:-5}

cache=$build/bench-cache/package_throughput
package=$cache/store/package.zip
password=Bench-Pa55
scratch=$cache/scratch
server_dir=$cache/server
program=$build/bench/package_throughput_bench.exe

source "$top/scripts/wine.sh"
use_wine_of_build "$build"
target=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=.*mingw-\(.*\)\.cmake$/\1/p' "$build/CMakeCache.txt")
if [[ $target == i686 ]] && ! machine_runs_32bit_programs; then
  echo "this machine runs no 32-bit programs: measure an x86_64 build instead of $build" >&2
  exit 1
fi
deps_prefix=$(sed -n 's/^CALVERIN_DEPS_PREFIX:[A-Z]*=//p' "$build/CMakeCache.txt")
peer=$deps_prefix/bin/curl.exe
[[ -f $peer ]] || { echo "no $peer: run scripts/build-deps.sh $target" >&2; exit 1; }
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_NUMERIC=C

# Six 41 MiB files of 64 KiB blocks, random bytes alternating with word text
# (deflate shrinks the text to less than half), make a package of about 200 MB.
make_package() {
  [[ -f $package ]] && return 0
  echo "making the package (once) in $cache"
  local content=$cache/content
  rm -rf "$content" && mkdir -p "$content" "$(dirname "$package")"
  python3 - "$content" <<'PY'
import os, random, sys
rng = random.Random(7)
letters = "abcdefghijklmnopqrstuvwxyz"
vocabulary = ["".join(rng.choice(letters) for _ in range(rng.randint(2, 10))) for _ in range(4000)]
text = " ".join(rng.choices(vocabulary, k=800000)).encode()
block = 64 * 1024
for number in range(6):
    with open(os.path.join(sys.argv[1], "part%d.dat" % number), "wb") as out:
        for index in range(41 * 1024 * 1024 // block):
            if index % 2:
                start = rng.randrange(len(text) - block)
                out.write(text[start:start + block])
            else:
                out.write(os.urandom(block))
PY
  (cd "$content" && zip -q -r -P "$password" "$package.part" .)
  mv "$package.part" "$package"
  rm -rf "$content"
}

# Plain loopback file servers on free ports, one HTTPS and one HTTP: the
# reference web service reads and hashes the whole file for every request
# (about half a second before the first byte here), which would count against
# both sides. Plain HTTP shows the client's own costs without those of TLS.
start_server() {
  mkdir -p "$server_dir"
  if [[ ! -f $server_dir/key.pem ]]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj /CN=127.0.0.1 \
      -keyout "$server_dir/key.pem" -out "$server_dir/cert.pem" >/dev/null 2>&1
  fi
  rm -f "$server_dir/ports"
  python3 - "$(dirname "$package")" "$server_dir" <<'PY' >"$server_dir/server.log" 2>&1 &
import functools, http.server, os, ssl, sys, threading
folder, state = sys.argv[1:3]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
secure = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(os.path.join(state, "cert.pem"), os.path.join(state, "key.pem"))
secure.socket = context.wrap_socket(secure.socket, server_side=True)
plain = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
threading.Thread(target=plain.serve_forever, daemon=True).start()
with open(os.path.join(state, "ports.part"), "w") as out:
    out.write("%d %d\n" % (secure.server_address[1], plain.server_address[1]))
os.rename(os.path.join(state, "ports.part"), os.path.join(state, "ports"))
secure.serve_forever()
PY
  server_pid=$!
  trap stop_server EXIT
  for _ in $(seq 100); do
    [[ -f $server_dir/ports ]] && break
    kill -0 "$server_pid" 2>/dev/null || { cat "$server_dir/server.log" >&2; exit 1; }
    sleep 0.1
  done
  local ports name=$(basename "$package")
  read -ra ports <"$server_dir/ports"
  https_url="https://127.0.0.1:${ports[0]}/$name"
  http_url="http://127.0.0.1:${ports[1]}/$name"
}

stop_server() {
  kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
}

windows_path() {
  local path=$1
  printf 'Z:%s' "${path//\//\\}"
}

# Seconds that a native command takes.
time_native() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  awk -v start="$start" -v end="$EPOCHREALTIME" 'BEGIN { printf "%.3f\n", end - start }'
}

# The program times its own step; its first word is the seconds.
time_ours() {
  calverin_wine "$program" "$@" | tr -d '\r' | awk '{ print $1 }'
}

median() {
  sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)] }'
}

report() {
  local name=$1 theirs=$2 ours=$3 tool=$4
  awk -v name="$name" -v tool="$tool" -v theirs="$theirs" -v ours="$ours" 'BEGIN {
    printf "%-15s %-9s %7.3f s   ours %7.3f s   ratio %.2f\n", name, tool, theirs, ours, theirs / ours }'
}

# Runs both sides RUNS times, alternating, each pair after clearing the
# outputs; prints the report line from the medians.
compare() {
  local name=$1 tool=$2 prepare=$3 theirs_command=$4 ours_arguments=$5
  local theirs=() ours=()
  for _ in $(seq "$runs"); do
    $prepare
    theirs+=("$(eval "time_native $theirs_command")")
    ours+=("$(eval "time_ours $ours_arguments")")
  done
  report "$name" "$(printf '%s\n' "${theirs[@]}" | median)" "$(printf '%s\n' "${ours[@]}" | median)" "$tool"
}

# Downloads the URL RUNS times with each of the three, in turn; prints the
# medians and both ratios on one line, and checks every copy. Both Windows
# programs are timed from outside, Wine's start included, as native curl is.
compare_download() {
  local url=$1 scheme=${1%%:*}
  local native=() peer_times=() ours=()
  for _ in $(seq "$runs"); do
    clear_downloads
    native+=("$(time_native curl -k -s -o "$scratch/curl.zip" "$url")")
    peer_times+=("$(time_native calverin_wine "$peer" -k -s -o "$(windows_path "$scratch/peer.zip")" "$url")")
    ours+=("$(time_native calverin_wine "$program" download "$url" "$(windows_path "$scratch/ours.zip")")")
    local copy
    for copy in curl peer ours; do
      cmp -s "$package" "$scratch/$copy.zip" || { echo "the $copy download over $scheme differs from the package" >&2; exit 1; }
    done
  done
  awk -v name="$scheme" -v native="$(printf '%s\n' "${native[@]}" | median)" \
    -v peer="$(printf '%s\n' "${peer_times[@]}" | median)" -v ours="$(printf '%s\n' "${ours[@]}" | median)" 'BEGIN {
    printf "download %-6s %8.3f s %11.3f s %10.3f s %13.2f %14.2f\n", name, native, peer, ours, peer / ours, native / ours }'
}

clear_downloads() { rm -f "$scratch/curl.zip" "$scratch/peer.zip" "$scratch/ours.zip"; }
clear_folders() { rm -rf "$scratch/unzip" "$scratch/ours"; }

cmake --build "$build" --target package_throughput_bench >/dev/null
"$top/scripts/wineprefix.sh" "$WINEPREFIX"
make_package
rm -rf "$scratch" && mkdir -p "$scratch"
start_server

package_win=$(windows_path "$package")
expected_md5=$(md5sum "$package" | cut -d' ' -f1)
ours_md5=$(calverin_wine "$program" md5 "$package_win" | tr -d '\r' | awk '{ print $2 }')
[[ $ours_md5 == "$expected_md5" ]] || { echo "our digest $ours_md5 differs from md5sum's $expected_md5" >&2; exit 1; }

echo "target $target (this machine runs $(machine_runs_32bit_programs && echo "both i686 and x86_64" || echo "only x86_64") Windows programs)"
echo "package: $(stat -c %s "$package") bytes, $runs runs each, medians (ratio = the client's throughput / the other's)"
echo "                  curl    curl.exe/Wine     client   client/curl.exe   client/curl"
for url in "$https_url" "$http_url"; do
  compare_download "$url"
done
clear_downloads
compare md5 md5sum true 'md5sum "$package"' 'md5 "$package_win"'
compare unzip "unzip -P" clear_folders \
  'unzip -q -P "$password" "$package" -d "$scratch/unzip"' \
  'unzip "$package_win" "$(windows_path "$scratch/ours")" "$password"'
diff -rq "$scratch/unzip" "$scratch/ours" >/dev/null || { echo "our extraction differs from unzip's" >&2; exit 1; }
clear_folders
