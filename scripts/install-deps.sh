#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt that are
# not installed yet. Does nothing (and needs no network) when all are there.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' scripts/debian-packages.txt)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
(( ${#missing[@]} == 0 )) && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=()
(( EUID != 0 )) && sudo=(sudo)
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
