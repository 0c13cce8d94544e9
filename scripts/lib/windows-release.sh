# shellcheck shell=bash
# The Windows release files that the runs under Wine test, and the release's
# own MinGW-w64 build tree for the programs only the tests use. To be sourced
# by a bash script standing in the repository's root.
#
# HARVELIN_RELEASE_DIR names a folder scripts/release has filled (CI: the
# first build of scripts/release-check); without it, scripts/release builds
# the release files of the last commit into build/release first.

# windows_release [TARGET...]: sets release_dir, zip (the Windows zip), setup
# (the installer) and mingw_build (the release's MinGW-w64 tree), and builds
# the TARGETs there: programs that only the tests use, in the release's own
# configuration, so only their own sources compile.
# shellcheck disable=SC2034  # the variables are the caller's
windows_release() {
    release_dir=${HARVELIN_RELEASE_DIR:-}
    if [ -z "$release_dir" ]; then
        release_dir=build/release
        scripts/release "$release_dir" >&2
    fi
    release_dir=$(realpath "$release_dir")
    zip=$(ls "$release_dir"/harvelin-*-windows-x64.zip)
    setup=$(ls "$release_dir"/harvelin-*-windows-x64-setup.exe)
    mingw_build=$release_dir/scratch/mingw
    [ $# -eq 0 ] || cmake --build "$mingw_build" --target "$@"
}
