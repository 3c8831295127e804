#!/usr/bin/env bash
# Prints the folder of Debian's zlib sources, which em++ compiles into the
# browser's engine (no zlib for em++ is packaged, nor can emscripten's own be
# downloaded here). Fetched once with `apt-get source` into
# ${RFC_DEPS_DIR:-$HOME/.cache/rfc-deps}; as root it first adds a deb-src line
# for the mirror and suites the machine already uses.
set -euo pipefail
deps="${RFC_DEPS_DIR:-$HOME/.cache/rfc-deps}"
mkdir -p "$deps"
found() { find "$deps" -maxdepth 2 -name zlib.h -path '*/zlib-*' -printf '%h\n' | head -n 1; }
if [ -z "$(found)" ]; then
    if ! apt-get source --print-uris -q zlib >/dev/null 2>&1; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "zlib's sources are needed: add a deb-src line to APT's sources and rerun" >&2
            exit 1
        fi
        # The first deb entry's mirror and suites (the main archive: the
        # security archive serves no sources here), as deb-src.
        list=/etc/apt/sources.list.d/rfc-deb-src.sources
        if [ -e /etc/apt/sources.list.d/debian.sources ]; then
            awk '/^Types: deb$/ && !done { on = 1; print "Types: deb-src"; next }
                 on && /^$/ { on = 0; done = 1 } on' \
                /etc/apt/sources.list.d/debian.sources >"$list"
        else
            grep -h -m 1 '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"${list%.sources}.list"
        fi
        apt-get update -q >&2
    fi
    (cd "$deps" && apt-get source -q zlib >&2)
fi
found
