#!/usr/bin/env bash
# Installs the Debian packages that building, the demo and the tests need, when missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libgl-dev qt6-translations-l10n
    libsqlite3-dev libsodium-dev libxlsxwriter-dev libzint-dev libminizip-dev
    libgtest-dev
    postgresql postgresql-client
    fonts-noto-cjk xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
