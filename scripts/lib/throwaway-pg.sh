# Sourced: starts a throwaway PostgreSQL cluster on a free loopback port, exports ZOSTORE_TEST_PG and
# removes the cluster when the calling script exits.
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
pg_tmp=$(mktemp -d /tmp/zostore-pg.XXXXXX)
chmod 755 "$pg_tmp"
run_pg=()
pg_user=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$pg_tmp"
    run_pg=(runuser -u postgres --)
    pg_user=postgres
fi

pg_port=0
for _ in $(seq 1 50); do
    p=$((20000 + RANDOM % 30000))
    if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then pg_port=$p; break; fi
done
[ "$pg_port" -ne 0 ] || { echo "no free port for PostgreSQL" >&2; exit 1; }

stop_throwaway_pg() {
    "${run_pg[@]}" "$pgbin/pg_ctl" -D "$pg_tmp/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$pg_tmp"
}
trap stop_throwaway_pg EXIT

"${run_pg[@]}" "$pgbin/initdb" -D "$pg_tmp/data" -U "$pg_user" -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
"${run_pg[@]}" "$pgbin/pg_ctl" -D "$pg_tmp/data" -l "$pg_tmp/pg.log" -w \
    -o "-h 127.0.0.1 -p $pg_port -k $pg_tmp -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" start >/dev/null
echo "== PostgreSQL on 127.0.0.1:$pg_port"
export ZOSTORE_TEST_PG="Provider=PostgreSQL;Server=127.0.0.1;Port=$pg_port;User ID=$pg_user;Password=;Database=postgres"
