# shellcheck shell=bash
# What a test script needs from this machine, once scripts/setup has tried to
# install it. To be sourced by a bash script.
#
# Outside CI a script that lacks something says so in a SKIPPED line and ends
# with status 0, so a developer without Wine or a virtual screen can still
# run the rest. Under CI (CI=true) it fails instead, naming what is missing:
# CI runs every check or fails.

require_missing=()

# require_setup STATUS: the status scripts/setup ended with; it has named the
# Debian packages it could not install.
require_setup() {
    [ "$1" -eq 0 ] || require_missing+=("the Debian packages scripts/setup named above")
}

# require NAME PROGRAM: PROGRAM (a command on the PATH or a path) must be
# there to run; NAME says what it is ("Wine").
require() {
    command -v "$2" >/dev/null 2>&1 || require_missing+=("$1 ($2)")
}

# require_all SCRIPT WHAT: ends the script when anything required is
# missing; WHAT is what would be skipped ("the Windows build and run are").
require_all() {
    [ ${#require_missing[@]} -eq 0 ] && return 0
    local list
    list=$(printf '%s, ' "${require_missing[@]}")
    list=${list%, }
    if [ "${CI:-}" = true ]; then
        echo "$1: FAILED: missing $list" >&2
        exit 1
    fi
    echo "$1: missing $list; $2 SKIPPED" >&2
    exit 0
}
