#!/usr/bin/env bash
# Throughput of the client's package steps next to the usual Linux tools on the
# same 200 MB password-protected ZIP package:
#   bench/package_throughput.sh BUILD_FOLDER [RUNS]     (RUNS defaults to 5)
# (BUILD_FOLDER is one target's build, e.g. build/i686)
# It builds package_throughput_bench in the configured build folder, makes the
# package once (cached in BUILD_FOLDER/bench-cache), serves it on free loopback
# ports, and prints for download over HTTPS and over HTTP
# (CHttpClient::DownloadFile against curl), digest (CMd5A::GetFileMd5
# against md5sum) and extraction (CUnzipper against unzip -P) the median
# seconds of each side and the ratio ours / theirs in throughput (higher is
# better). Our side runs under Wine in the build's own Wine prefix.
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

clear_downloads() { rm -f "$scratch/curl.zip" "$scratch/ours.zip"; }
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

echo "package: $(stat -c %s "$package") bytes, $runs runs each, medians (ratio = our throughput / theirs)"
for url in "$https_url" "$http_url"; do
  compare "download ${url%%:*}" curl clear_downloads \
    'curl -k -s -o "$scratch/curl.zip" "$url"' \
    'download "$url" "$(windows_path "$scratch/ours.zip")"'
  cmp -s "$package" "$scratch/ours.zip" || { echo "our download differs from the package" >&2; exit 1; }
done
clear_downloads
compare md5 md5sum true 'md5sum "$package"' 'md5 "$package_win"'
compare unzip "unzip -P" clear_folders \
  'unzip -q -P "$password" "$package" -d "$scratch/unzip"' \
  'unzip "$package_win" "$(windows_path "$scratch/ours")" "$password"'
diff -rq "$scratch/unzip" "$scratch/ours" >/dev/null || { echo "our extraction differs from unzip's" >&2; exit 1; }
clear_folders
