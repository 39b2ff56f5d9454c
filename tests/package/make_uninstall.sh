#!/usr/bin/env bash
# `make install PREFIX=...` and `make uninstall` of the README, on a build folder of the
# test's own choosing (BUILD=): the install writes its manifest, the uninstall removes every
# file in it and the suite's own folders, and leaves a file of someone else's in a shared
# folder, and the shared folders, where they were.
#
# usage: make_uninstall.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }
prefix=$work/prefix

mkdir -p "$prefix/share/applications" "$prefix/bin"
echo keep >"$prefix/share/applications/other.desktop"
echo keep >"$prefix/bin/other"
# The manifest of the build folder is the test's for the time it runs.
manifest=$build/install_manifest.txt
[[ -f $manifest ]] && cp "$manifest" "$work/manifest.before"
restore() { [[ -f $work/manifest.before ]] && cp "$work/manifest.before" "$manifest" || rm -f "$manifest"; }

cmake --install "$build" --prefix "$prefix" >/dev/null || { restore; echo "cmake --install failed"; exit 1; }
[[ -s $manifest ]] || fail "the install wrote no manifest"
for f in bin/relperm share/relperm/demo/OWBIN share/relperm/demo/csv/water-oil.csv \
         share/applications/vomar.desktop share/man/man1/relperm.1.gz; do
    grep -qx "$prefix/$f" "$manifest" || fail "the manifest does not list $f"
done

make -s -C "$source_dir" uninstall BUILD="$build" >"$work/uninstall.log" 2>&1 ||
    { cat "$work/uninstall.log"; fail "make uninstall failed"; }
left=$(cd "$prefix" && find . ! -type d | sort)
[[ $left == $'./bin/other\n./share/applications/other.desktop' ]] ||
    fail "make uninstall left: $(echo $left)"
[[ -d $prefix/share/relperm ]] && fail "make uninstall left the folder share/relperm"
[[ -d $prefix/share/applications ]] || fail "make uninstall removed the shared folder share/applications"
grep -q "removed the" "$work/uninstall.log" || fail "make uninstall said: $(cat "$work/uninstall.log")"

make -s -C "$source_dir" uninstall BUILD="$work/nowhere" >"$work/missing.log" 2>&1 &&
    fail "make uninstall without a manifest succeeded"
grep -q "install_manifest.txt is missing" "$work/missing.log" || fail "make uninstall without a manifest said: $(cat "$work/missing.log")"
restore
exit $failed
