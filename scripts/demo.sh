#!/usr/bin/env bash
# The demo: the stand-in host loads the plug-in and reports what it registered.
set -euo pipefail
cd "$(dirname "$0")/.."
exec build/linux/bin/hostsim report build/linux/bin/Telvio.so
