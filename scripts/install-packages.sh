#!/usr/bin/env bash
# Installs the Debian packages of packages.txt that are missing.
# Usage: scripts/install-packages.sh run|test   ("test" installs both groups)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
want=${1:-run}
missing=()
while read -r group name; do
    case "$group" in ''|'#'*) continue ;; esac
    if [ "$want" = run ] && [ "$group" != run ]; then continue; fi
    if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$name")
    fi
done < "$here/packages.txt"
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
