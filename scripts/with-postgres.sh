#!/usr/bin/env bash
# Runs a command beside a private PostgreSQL server: initdb in a temporary folder, the server
# listening only on a Unix socket there (no TCP port), stopped and removed when the command ends,
# also when it fails or is interrupted. The command finds the server through
# VANE_TEST_POSTGRESQL_URL, and VANE_TEST_POSTGRESQL_REQUIRED=1 makes the library tests fail
# rather than skip its cases when it cannot be reached.
#   scripts/with-postgres.sh ctest --preset default
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "with-postgres: no PostgreSQL server installed (scripts/setup.sh installs it)" >&2
  exit 1
fi

folder=$(mktemp -d /tmp/vane-pg.XXXXXX)
# initdb and the server refuse to run as root; then they run as the postgres system user that
# Debian's package makes, in a folder that user owns.
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  chown postgres: "$folder"
  as_owner=(runuser -u postgres --)
fi

stop_server() {
  "${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

"${as_owner[@]}" "$bin/initdb" -D "$folder/data" -U vane --auth=trust -E UTF8 --no-locale \
  >"$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log" >&2; exit 1; }
"${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
  -o "-c listen_addresses='' -c unix_socket_directories='$folder' -c fsync=off" start >/dev/null \
  || { cat "$folder/server.log" >&2; exit 1; }

export VANE_TEST_POSTGRESQL_URL="postgresql://vane@/postgres?host=$folder"
export VANE_TEST_POSTGRESQL_REQUIRED=1
"$@"
