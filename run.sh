#!/usr/bin/env bash
# Builds the project and installs the sample plotter on an emulated workstation with
# the sample answers: ./run.sh [MACHINE_DIR]   (default: build/demo-machine)
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libnewt-dev
          libcli11-dev nlohmann-json3-dev tmux)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing the build dependencies: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

cmake --preset default
cmake --build --preset default -j2

setup=build/apps/orvalen-setup/orvalen-setup
if [ ! -x "$setup" ]; then
  echo "Built. The orvalen-setup program is not part of this build yet, so there is nothing to run."
  exit 0
fi
machine="${1:-build/demo-machine}"
"$setup" --unattended --answers disk/sample-answers.ini --disk disk --machine "$machine"
echo "The sample plotter is installed on the workstation in $machine"
