#!/usr/bin/env bash
# The window's sources (src/ui, src/app) also build for Windows: they include
# no Linux or POSIX header and no Linux-only part of the device layer. System
# specifics go behind the platform files of src/device and src/files.
set -euo pipefail
cd "$(dirname "$0")/.."

pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]('
pattern+='unistd\.h|poll\.h|fcntl\.h|libudev\.h|dlfcn\.h|pthread\.h|termios\.h|dirent\.h|'
pattern+='pwd\.h|grp\.h|syslog\.h|sys/[^>"]*|linux/[^>"]*|netinet/[^>"]*|arpa/[^>"]*|'
pattern+='LinuxHidrawBackend\.h)[>"]'
if grep -rnE "$pattern" src/ui src/app; then
  echo "check-portable-includes: the lines above include Linux or POSIX headers" >&2
  exit 1
fi
echo "check-portable-includes: src/ui and src/app include no Linux or POSIX header"
