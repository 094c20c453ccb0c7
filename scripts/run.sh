#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts kxrd4-pc.
# Options are passed on to the tool: scripts/run.sh --demo starts it with the
# emulated controller; scripts/run.sh --help lists the options.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target kxrd4-pc

app=build/release/src/app/kxrd4-pc
case " $* " in
*" --help "* | *" -h "*) exec "$app" "$@" ;; # needs no display
esac
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
kxrd4-pc is built ($app) but there is no graphical display to show its window
(neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session:   $app $*
or on a machine without a screen:  xvfb-run -a $app $*
MSG
  exit 1
fi
exec "$app" "$@"
