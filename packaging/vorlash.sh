#!/bin/sh
# vorlash -- starts the game from its asset folder: the program reads its pictures, sounds and music
# by name from the working directory. Paths are found from this script's own place, so an install
# under any prefix (or a staging folder) works.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../@VORLASH_DATA_FROM_PREFIX@" || { echo "vorlash: no asset folder at $here/../@VORLASH_DATA_FROM_PREFIX@" >&2; exit 1; }
exec "$here/../@VORLASH_PROGRAM_FROM_PREFIX@" "$@"
