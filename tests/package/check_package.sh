#!/usr/bin/env bash
# Builds the Debian package from the build tree as `make package` does, then checks it as a
# packager and a first user would: its control fields, its file list, lintian (no error),
# the desktop entries and the AppStream entry as unpacked, stripped programs (while the
# build tree keeps its debug information), and the unpacked relperm running from there.
#
# usage: check_package.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "cpack could not make the package"; exit 1; }
deb=$(ls "$work"/out/*.deb)
[ "$(basename "$deb")" = "relperm-suite_1.0_amd64.deb" ] || fail "package file named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = relperm-suite ] || fail "Package is $(field Package)"
[ "$(field Version)" = 1.0 ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = science ] || fail "Section is $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer is $(field Maintainer)"
# Computed from the programs, so every library they link is there.
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 \
                  libqt6printsupport6 qt6-qpa-plugins; do
    [[ ", $(field Depends)," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $(field Depends)"
done
[ "$(field Installed-Size)" -gt 0 ] 2>/dev/null || fail "no Installed-Size"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/files"
expected=(
    /usr/bin/relperm /usr/bin/vomar /usr/bin/pellam /usr/bin/ostilo
    /usr/share/relperm/demo/OWBIN /usr/share/relperm/demo/OGBIN
    /usr/share/relperm/demo/GWBIN /usr/share/relperm/demo/CGBIN
    /usr/share/metainfo/org.example.relperm.metainfo.xml
    /usr/share/doc/relperm-suite/copyright /usr/share/doc/relperm-suite/changelog.gz
    /usr/share/doc/relperm-suite/README.md /usr/share/doc/relperm-suite/docs/vomar.png
    /usr/share/bash-completion/completions/relperm
)
for program in vomar pellam ostilo; do
    expected+=(/usr/share/applications/$program.desktop
               /usr/share/icons/hicolor/scalable/apps/$program.svg
               /usr/share/icons/hicolor/48x48/apps/$program.png)
done
for page in relperm vomar pellam ostilo; do
    expected+=(/usr/share/man/man1/$page.1.gz)
done
for f in "${expected[@]}"; do
    grep -qx "$f" "$work/files" || fail "the package lacks $f"
done
grep -v -e '^/usr/' -e '^/$' "$work/files" && fail "files outside /usr"

# No error; the warnings are shown for the record.
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
    lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors"
else
    fail "lintian is missing: run scripts/install-deps"
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in relperm vomar pellam ostilo; do
    file "$root/usr/bin/$program" | grep -q ', stripped' || fail "usr/bin/$program is not stripped"
done
file -L "$build/bin/relperm" | grep -q 'with debug_info' || fail "the build tree's relperm lost its debug information"
for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "$(basename "$entry") does not validate"
    grep -q '^Exec=/usr/bin/' "$entry" || fail "$(basename "$entry") does not start the installed program"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.relperm.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "the AppStream entry does not validate"; }

version=$("$root/usr/bin/relperm" --version) || fail "the unpacked relperm --version failed"
[ "$version" = "relperm 1.0" ] || fail "relperm --version printed: $version"
table=$("$root/usr/bin/relperm" generate --fluids Water-Oil-Gas --correlation Corey \
            --swc 20 --sorw 25 --sorg 10 --sgc 5 --format grid) || fail "the unpacked relperm generate failed"
grep -qP '^\.75\t' <<<"$table" || fail "the unpacked relperm generated no row at Sw .75: $table"
count=$("$root/usr/bin/relperm" db count --dir "$root/usr/share/relperm/demo" --system "Water-Oil Data") ||
    fail "the unpacked relperm cannot count the demo database"
[ "${count:-0}" -gt 0 ] || fail "the packaged demo database holds no water-oil set"

echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(field Installed-Size) KiB"
exit $failed
