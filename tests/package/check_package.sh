#!/usr/bin/env bash
# Builds the Debian packages from the build tree as `make package` does, then checks them
# as a Debian maintainer and a first user would: the split (relperm, relperm-suite,
# relperm-demo, python3-relperm when the module is built) and each package's control
# fields and files; lintian -I on every package (no error, no warning, and no info tag but
# those justified below); the hardening of every program when the build is hardened; the
# desktop and AppStream entries as unpacked; and each package installed alone into an empty
# root with dpkg --root and removed again, the command line run there with no Qt anywhere.
#
# usage: check_package.sh BUILD_DIR HARDENED(ON|OFF) PYTHON(ON|OFF)
set -u
build=$1
hardened=${2:-OFF}
python=${3:-OFF}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "cpack could not make the packages"; exit 1; }
arch=$(dpkg --print-architecture)
declare -A deb=([relperm]=relperm_1.0_${arch}.deb [relperm-suite]=relperm-suite_1.0_${arch}.deb
                [relperm-demo]=relperm-demo_1.0_all.deb)
[[ $python == ON ]] && deb[python3-relperm]=python3-relperm_1.0_${arch}.deb
made=$(cd "$work/out" && ls -- *.deb | sort)
expected_files=$(printf '%s\n' "${deb[@]}" | sort)
[[ $made == "$expected_files" ]] || fail "cpack made [$(echo $made)], not [$(echo $expected_files)]"

field() { dpkg-deb -f "$work/out/${deb[$1]}" "$2"; }
depends_on() { [[ ", $(field "$1" Depends)," == *", $2"[\ ,]* ]]; }
for package in "${!deb[@]}"; do
    [[ -f $work/out/${deb[$package]} ]] || continue
    [ "$(field "$package" Package)" = "$package" ] || fail "$package: Package is $(field "$package" Package)"
    [ "$(field "$package" Version)" = 1.0 ] || fail "$package: Version is $(field "$package" Version)"
    [[ "$(field "$package" Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
        fail "$package: Maintainer is $(field "$package" Maintainer)"
    [ "$(field "$package" Installed-Size)" -gt 0 ] 2>/dev/null || fail "$package: no Installed-Size"
    dpkg-deb -c "$work/out/${deb[$package]}" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/$package.files"
    grep -v -e '^/usr/' -e '^/$' "$work/$package.files" && fail "$package: files outside /usr"
    for f in copyright changelog.gz; do
        grep -qx "/usr/share/doc/$package/$f" "$work/$package.files" || fail "$package lacks /usr/share/doc/$package/$f"
    done
    # Debian compresses documentation; the pictures are compressed already.
    grep -E "^/usr/share/doc/$package/.+[^/]$" "$work/$package.files" |
        grep -vE '/copyright$|\.gz$|\.png$' | sed "s/^/$package: uncompressed document /" | grep . && failed=1
done
[ "$(field relperm-demo Architecture)" = all ] || fail "relperm-demo is for $(field relperm-demo Architecture), not all"
[ "$(field relperm-suite Architecture)" = "$arch" ] || fail "relperm-suite is for $(field relperm-suite Architecture)"

# The dependencies dpkg-shlibdeps found: the command line's are libc, libstdc++ and the two
# libraries that read .xlsx workbooks, nothing of a window system.
for dependency in libc6 libstdc++6 libzip4 libexpat1; do
    depends_on relperm $dependency || fail "relperm's Depends lacks $dependency: $(field relperm Depends)"
done
[[ $(field relperm Depends) =~ qt|libgl|libx|libegl|libfontconfig ]] &&
    fail "relperm depends on the window system: $(field relperm Depends)"
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 \
                  libqt6printsupport6 qt6-qpa-plugins relperm-demo; do
    depends_on relperm-suite $dependency || fail "relperm-suite's Depends lacks $dependency: $(field relperm-suite Depends)"
done
[[ -z $(field relperm-demo Depends) ]] || fail "relperm-demo depends on $(field relperm-demo Depends)"
if [[ $python == ON ]]; then
    for dependency in libc6 python3 python3-numpy; do
        depends_on python3-relperm $dependency || fail "python3-relperm's Depends lacks $dependency: $(field python3-relperm Depends)"
    done
fi

expect_files() {
    local package=$1
    shift
    for f in "$@"; do
        grep -qx "$f" "$work/$package.files" || fail "$package lacks $f"
    done
}
expect_files relperm /usr/bin/relperm /usr/share/man/man1/relperm.1.gz \
    /usr/share/bash-completion/completions/relperm /usr/share/doc/relperm/README.md.gz
suite_files=(/usr/bin/vomar /usr/bin/pellam /usr/bin/ostilo /usr/share/doc/relperm-suite/README.md.gz
             /usr/share/doc/relperm-suite/docs/vomar.png
             /usr/share/metainfo/org.example.relperm.metainfo.xml
             /usr/share/metainfo/org.example.relperm.vomar.metainfo.xml
             /usr/share/metainfo/org.example.relperm.pellam.metainfo.xml)
for program in vomar pellam ostilo; do
    suite_files+=(/usr/share/applications/$program.desktop /usr/share/man/man1/$program.1.gz
                  /usr/share/icons/hicolor/scalable/apps/$program.svg
                  /usr/share/icons/hicolor/48x48/apps/$program.png)
done
expect_files relperm-suite "${suite_files[@]}"
for system in OWBIN OGBIN GWBIN CGBIN; do
    expect_files relperm-demo /usr/share/relperm/demo/$system
done
for csv in water-oil gas-oil gas-water gas-condensate; do
    expect_files relperm-demo /usr/share/relperm/demo/csv/$csv.csv
done
# Each file in one package only, so that all of them install side by side.
cat "$work"/*.files | grep -v '/$' | sort | uniq -d | sed 's/^/in two packages: /' | grep . && failed=1
grep -q qt "$work/relperm.files" && fail "relperm holds Qt files"

# lintian -I: no error and no warning; an info tag only where it is justified below.
declare -A justified=(
    # Every object is compiled with -D_FORTIFY_SOURCE=2 (checked below in the build's
    # compile commands), and relperm calls the fortified open (__open_2); its other calls
    # that have fortified forms (memcpy, read into std::string and std::vector buffers) copy
    # sizes known only at run time, for which glibc keeps the plain function. lintian takes
    # that for a build without fortify.
    [hardening-no-fortify-functions]=1
    # "sEach" is no word of ours: lintian reads the end of one text ("...measured data s")
    # and the start of the next ("Each set fitted...") where the linker put them side by side.
    [spelling-error-in-binary]=1
)
for package in "${!deb[@]}"; do
    if ! command -v lintian >/dev/null; then
        fail "lintian is missing: run scripts/install-deps"
        break
    fi
    lintian -I --tag-display-limit 0 "$work/out/${deb[$package]}" 2>&1 |
        grep -v 'running with root privileges' >"$work/$package.lintian"
    while read -r kind _ tag rest; do
        case $kind in
        E:|W:) fail "lintian $kind $tag $rest" ;;
        I:)
            # make test packages the tree it tests, built without Debian's hardening flags
            # (fortify and the sanitizers do not mix); make package builds hardened, and the
            # checks below then hold its programs to every flag.
            [[ $hardened != ON && $tag == hardening-no-* ]] && continue
            [[ ${justified[$tag]:-0} == 1 ]] || fail "lintian info tag no one has justified: $tag $rest"
            ;;
        esac
    done <"$work/$package.lintian"
    if [[ $hardened == ON ]]; then
        grep -E 'hardening-no-(relro|bindnow|pie|stackprotector)|binary-has-unneeded-section' \
            "$work/$package.lintian" && fail "$package: lintian finds unhardened programs"
    fi
done

for package in "${!deb[@]}"; do
    dpkg-deb -x "$work/out/${deb[$package]}" "$work/unpacked"
done
root=$work/unpacked
for program in relperm vomar pellam ostilo; do
    file "$root/usr/bin/$program" | grep -q ', stripped' || fail "usr/bin/$program is not stripped"
    readelf -S "$root/usr/bin/$program" | grep -q '\.comment' && fail "usr/bin/$program keeps its .comment section"
    if [[ $hardened == ON ]]; then
        readelf -h "$root/usr/bin/$program" | grep -q 'DYN (Position-Independent Executable' ||
            readelf -h "$root/usr/bin/$program" | grep -q 'Type: *DYN' ||
            fail "usr/bin/$program is not position-independent"
        readelf -d "$root/usr/bin/$program" | grep -qE 'BIND_NOW|FLAGS.*NOW' || fail "usr/bin/$program is not bound at load (bindnow)"
        readelf -l "$root/usr/bin/$program" | grep -q GNU_RELRO || fail "usr/bin/$program has no relro"
        readelf -W --dyn-syms "$root/usr/bin/$program" | grep -q '__stack_chk_fail' ||
            fail "usr/bin/$program has no stack protector"
        readelf -W --dyn-syms "$root/usr/bin/$program" | grep -qE '__[a-z_]+_chk@|__open_2@' ||
            fail "usr/bin/$program calls no fortified function"
    fi
done
if [[ $hardened == ON ]]; then
    grep -q -- '-D_FORTIFY_SOURCE=' "$build/compile_commands.json" ||
        fail "the build's compile commands do not fortify"
    grep '"command":' "$build/compile_commands.json" | grep -v -- '-D_FORTIFY_SOURCE=' |
        head -n 3 | sed 's/^/compiled without _FORTIFY_SOURCE: /' | grep . && failed=1
fi
file -L "$build/bin/relperm" | grep -q 'with debug_info' || fail "the build tree's relperm lost its debug information"

for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "$(basename "$entry") does not validate"
    grep -q '^Exec=/usr/bin/' "$entry" || fail "$(basename "$entry") does not start the installed program"
    grep -qE '^Keywords=.+;$' "$entry" || fail "$(basename "$entry") has no Keywords"
done
for metainfo in "$root"/usr/share/metainfo/*.metainfo.xml; do
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
        { cat "$work/appstream.log"; fail "$(basename "$metainfo") does not validate"; }
done
for program in vomar pellam ostilo; do
    grep -lq "<launchable type=\"desktop-id\">$program.desktop</launchable>" "$root"/usr/share/metainfo/*.xml ||
        fail "no AppStream entry launches $program"
done
copyright=$root/usr/share/doc/relperm/copyright
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
grep -q 'No licence has been chosen for this software yet' "$copyright" || fail "the copyright file no longer says no licence has been chosen"

# --- each package alone in an empty root, installed and removed with dpkg --root ----------
# The root holds nothing but dpkg's own database, so the libraries a package depends on are
# not there (--force-depends); what it runs finds them on this machine, except Qt, which
# nothing may need.
for package in "${!deb[@]}"; do
    alone=$work/alone-$package
    mkdir -p "$alone/var/lib/dpkg/info" "$alone/var/lib/dpkg/updates"
    touch "$alone/var/lib/dpkg/status" "$alone/var/lib/dpkg/available"
    dpkg --root="$alone" --force-depends --force-not-root --force-script-chrootless \
        -i "$work/out/${deb[$package]}" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log"; fail "$package does not install alone"; continue; }
    if [[ $package == relperm ]]; then
        relperm=$alone/usr/bin/relperm
        ldd "$relperm" | grep -i qt && fail "the installed relperm links Qt"
        readelf -d "$relperm" | grep NEEDED | grep -iE 'qt|libGL|libX|libEGL|fontconfig|freetype' &&
            fail "the installed relperm needs a library of the window system"
        # No Qt on the library path, whatever this machine holds.
        run() { env -i PATH=/usr/bin:/bin LD_LIBRARY_PATH=/nonexistent "$relperm" "$@"; }
        version=$(run --version) || fail "relperm --version failed in the empty root"
        [ "$version" = "relperm 1.0" ] || fail "relperm --version printed: $version"
        [ "$(run -V)" = "relperm 1.0" ] || fail "relperm -V printed: $(run -V)"
        table=$(run generate --fluids Water-Oil-Gas --correlation Corey \
                    --swc 20 --sorw 25 --sorg 10 --sgc 5 --format grid) ||
            fail "relperm generate failed in the empty root"
        grep -qP '^\.75\t' <<<"$table" || fail "relperm generated no row at Sw .75: $table"
        [[ -f $alone/usr/share/man/man1/relperm.1.gz ]] || fail "relperm's manual page is not installed"
    fi
    if [[ $package == relperm-demo ]]; then
        count=$("$root/usr/bin/relperm" db count --dir "$alone/usr/share/relperm/demo" --system "Water-Oil Data") ||
            fail "relperm cannot count the installed demo database"
        [ "${count:-0}" -gt 0 ] || fail "the packaged demo database holds no water-oil set"
        "$root/usr/bin/relperm" db import --system "Water-Oil Data" --out "$work/OWBIN" \
            "$alone/usr/share/relperm/demo/csv/water-oil.csv" ||
            fail "the demo's water-oil.csv does not import"
        cmp -s "$work/OWBIN" "$alone/usr/share/relperm/demo/OWBIN" ||
            fail "the demo's OWBIN is not what its CSV source imports to"
    fi
    if [[ $package == python3-relperm ]]; then
        answer=$(cd "$work" && PYTHONPATH="$alone/usr/lib/python3/dist-packages" python3 -c \
                 'import relperm; s, out, err = relperm.run(["--version"]); print(s, out.decode().strip())') ||
            fail "the installed module does not import"
        [ "$answer" = "0 relperm 1.0" ] || fail "relperm.run(['--version']) in the installed module gave: $answer"
    fi
    dpkg --root="$alone" --force-not-root --force-script-chrootless -r "$package" >"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log"; fail "$package does not remove"; }
    left=$(cd "$alone" && find . -path ./var/lib/dpkg -prune -o ! -type d -print)
    [[ -z $left ]] || fail "$package leaves files behind on removal: $left"
done

for package in "${!deb[@]}"; do
    echo "package ${deb[$package]}: $(stat -c %s "$work/out/${deb[$package]}") bytes, installed size $(field "$package" Installed-Size) KiB"
done
for package in "${!deb[@]}"; do
    sed "s/^/lintian $package: /" "$work/$package.lintian"
done
exit $failed
