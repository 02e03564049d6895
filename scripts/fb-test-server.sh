#!/usr/bin/env bash
# A private Firebird server on 127.0.0.1 for the multi-user tests.
#   fb-test-server.sh start DIR [PORT]   prints the lines to eval (FIREBIRD, KESH_TEST_SERVER...)
#   fb-test-server.sh stop DIR
# The server and the test programs share DIR as engine root and lock folder, so a file may be
# opened through the server and embedded at the same time without two lock tables.
# It never touches /etc or /var/lib, and is stopped by its PID only.
set -euo pipefail
cmd=${1:?start|stop}; dir=${2:?folder}
pass=plumtrove
server=/usr/sbin/firebird

stop() {
  [ -f "$dir/server.pid" ] || return 0
  local pid; pid=$(cat "$dir/server.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid"
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/server.pid"
}

case "$cmd" in
stop) stop; exit 0 ;;
start) ;;
*) echo "uso: $0 start|stop DIR [PORT]" >&2; exit 2 ;;
esac

stop
mkdir -p "$dir/lock"
dir=$(cd "$dir" && pwd)
port=${3:-3057}
# Take the first free port from the one asked for.
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done

cat > "$dir/firebird.conf" <<CONF
ServerMode = SuperClassic
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $port
SecurityDatabase = $dir/security3.fdb
UdfAccess = None
CONF
export FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock"
if [ ! -f "$dir/security3.fdb" ]; then
  printf "create database '%s';\ncreate user SYSDBA password '%s' using plugin Srp;\ncommit;\n" \
    "$dir/security3.fdb" "$pass" | isql-fb -q -user SYSDBA >"$dir/security.out" 2>&1 \
    || { cat "$dir/security.out" >&2; exit 1; }
fi
nohup "$server" >"$dir/server.out" 2>&1 &
echo $! >"$dir/server.pid"
for _ in $(seq 1 100); do
  if fbsvcmgr "localhost/$port:service_mgr" -user SYSDBA -password "$pass" -info_server_version >/dev/null 2>&1; then
    echo "export FIREBIRD='$dir' FIREBIRD_LOCK='$dir/lock' KESH_TEST_SERVER='localhost/$port'"
    exit 0
  fi
  kill -0 "$(cat "$dir/server.pid")" 2>/dev/null || { cat "$dir/server.out" >&2; exit 1; }
  sleep 0.1
done
echo "El servidor Firebird de prueba no respondió." >&2
stop
exit 1
