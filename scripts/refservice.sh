#!/usr/bin/env bash
# The reference web service that the tests and the demo talk to.
#   refservice.sh start STATE_DIR   starts it in the background and returns once both listeners answer
#   refservice.sh stop STATE_DIR    stops the one started with that folder
#   refservice.sh run [STATE_DIR]   runs it in the foreground until Ctrl-C
# Its addresses are fixed, so another build's service may hold them for a
# while: start waits up to REFSERVICE_BIND_WAIT seconds (default 120) for them.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/service-settings.sh"
export SERVICE_API_ADDRESS SERVICE_API_PORT SERVICE_FALLBACK_IP SERVICE_SIGN_SALT SERVICE_DATA_KEY
service=$here/../tests/refservice/main.py
bind_wait=${REFSERVICE_BIND_WAIT:-120}

running_pid() {
  local pid
  pid=$(cat "$1/refservice.pid" 2>/dev/null) && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

stop_service() {
  local dir=$1 pid
  if pid=$(running_pid "$dir"); then
    kill "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
  fi
  rm -f "$dir/refservice.pid"
}

# Both listeners answer, and it is this service (not another build's) that answers.
answers() {
  python3 - "$1/ready.json" "$2" <<'PY'
import json, ssl, sys, urllib.request
ready = json.load(open(sys.argv[1]))
context = ssl._create_unverified_context()
for name in ("api", "fallback"):
    address, port = ready[name]
    with urllib.request.urlopen("https://%s:%d/__control/ping" % (address, port), context=context, timeout=5) as reply:
        if json.load(reply)["pid"] != int(sys.argv[2]):
            sys.exit(1)
PY
}

start_service() {
  local dir=$1 pid deadline
  mkdir -p "$dir"
  stop_service "$dir"
  rm -f "$dir/ready.json"
  python3 "$service" --state-dir "$dir" --bind-wait "$bind_wait" </dev/null >"$dir/service.log" 2>&1 &
  pid=$!
  echo "$pid" >"$dir/refservice.pid"
  deadline=$((SECONDS + ${bind_wait%.*} + 30))
  while ((SECONDS < deadline)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "refservice: the service ended at start:" >&2
      cat "$dir/service.log" >&2
      rm -f "$dir/refservice.pid"
      return 1
    fi
    if [[ -f $dir/ready.json ]] && answers "$dir" "$pid" 2>/dev/null; then
      echo "refservice: running (pid $pid), log in $dir/service.log"
      return 0
    fi
    sleep 0.2
  done
  echo "refservice: the service did not come up in time:" >&2
  cat "$dir/service.log" >&2
  stop_service "$dir"
  return 1
}

case ${1:-} in
  start) start_service "${2:?state folder}" ;;
  stop) stop_service "${2:?state folder}" ;;
  run) exec python3 "$service" --state-dir "${2:-$(mktemp -d)}" ;;
  *) echo "usage: $0 start DIR | stop DIR | run [DIR]" >&2; exit 2 ;;
esac
