#!/usr/bin/env bash
# Sets up, builds and starts the player on the bundled demo game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target zelk demo_game
exec "$root/build/release/bin/zelk" "$root/build/release/games/demo" "$@"
