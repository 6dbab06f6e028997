#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt (with
# --windows: scripts/debian-packages-windows.txt) that are not installed yet.
# Does nothing (and needs no network) when all are there.
set -euo pipefail
cd "$(dirname "$0")/.."

# --windows: the packages of the Windows build instead.
list=scripts/debian-packages.txt
if [[ ${1:-} == --windows ]]; then list=scripts/debian-packages-windows.txt; fi
mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$list")

# The tests read numbers under a German locale (decimal comma) as well.
locale=de_DE.UTF-8

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
need_locale=0
if [[ $list == scripts/debian-packages.txt ]]; then
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' || need_locale=1
fi
(( ${#missing[@]} == 0 && need_locale == 0 )) && exit 0

sudo=()
if (( EUID != 0 )); then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: not root and no sudo; as root, run:" >&2
    (( ${#missing[@]} > 0 )) && echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    (( need_locale )) && echo "  sed -i 's/^# *$locale/$locale/' /etc/locale.gen && locale-gen" >&2
    exit 1
  fi
  sudo=(sudo)
fi
if (( ${#missing[@]} > 0 )); then
  echo "install-deps: installing ${missing[*]}"
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
if (( need_locale )); then
  echo "install-deps: generating the locale $locale"
  "${sudo[@]}" sed -i "s/^# *$locale/$locale/" /etc/locale.gen
  grep -q "^$locale" /etc/locale.gen || echo "$locale UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen
fi
