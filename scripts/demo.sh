#!/usr/bin/env bash
# Builds ZoStore, creates the demo account set in the work folder (SQLite) and starts the program on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" release

export ZOSTORE_WORKDIR=${ZOSTORE_WORKDIR:-$root/work}
mkdir -p "$ZOSTORE_WORKDIR"
bin="$root/build/bin"

# Without ZOSTORE_PASSWORD the demo keeps the documented passwords below.
env -u ZOSTORE_PASSWORD "$bin/zostore-admin" demo --replace </dev/null

cat <<TXT

演示帐套已建立（SQLite），工作目录：$ZOSTORE_WORKDIR
登录：帐套“演示帐套”
  经理     admin / admin123
  营业员   王丽 / wl123456（有部分权限）
  营业员   李强 / lq123456（没有任何权限）
TXT

if [ ! -x "$bin/zostore" ]; then
    echo "主程序 zostore 尚未构建，演示帐套已就绪。"
    exit 0
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "没有图形显示（DISPLAY 未设置）：请在桌面会话中运行 ZOSTORE_WORKDIR=$ZOSTORE_WORKDIR $bin/zostore"
    exit 0
fi
exec "$bin/zostore"
