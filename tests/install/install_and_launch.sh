#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the tree, then starts the installed
# launcher on a virtual display as the desktop menu does (its entry's Exec in its Path, for
# a user with no settings yet) and chooses its entries with the arrow keys, as a user would:
# the calculator and the browser must start from the installed bin/, the browser must open
# the demo database without a word about missing data, and both must keep running after
# the launcher has ended.
#
# usage: install_and_launch.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'pkill -P $$ >/dev/null 2>&1; rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed"; exit 1; }
for f in bin/ostilo bin/vomar bin/pellam bin/relperm \
         share/relperm/demo/OWBIN share/relperm/demo/OGBIN share/relperm/demo/GWBIN \
         share/relperm/demo/CGBIN share/applications/ostilo.desktop \
         share/applications/vomar.desktop share/applications/pellam.desktop; do
    [ -e "$prefix/$f" ] || { echo "missing from the installed tree: $f"; exit 1; }
done
# Each program's menu entry names its own icon, which the theme holds as SVG and at every PNG
# size a desktop without SVG looks for, readable by all.
for program in ostilo vomar pellam; do
    grep -qx "Icon=$program" "$prefix/share/applications/$program.desktop" ||
        { echo "$program.desktop does not show the $program icon"; exit 1; }
    for f in scalable/apps/$program.svg 16x16/apps/$program.png 22x22/apps/$program.png \
             24x24/apps/$program.png 32x32/apps/$program.png 48x48/apps/$program.png \
             64x64/apps/$program.png 128x128/apps/$program.png 256x256/apps/$program.png; do
        icon="$prefix/share/icons/hicolor/$f"
        [ -s "$icon" ] || { echo "missing from the installed tree: share/icons/hicolor/$f"; exit 1; }
        [ "$(stat -c %a "$icon")" = 644 ] ||
            { echo "share/icons/hicolor/$f has mode $(stat -c %a "$icon"), not 644"; exit 1; }
    done
done
entry="$prefix/share/applications/ostilo.desktop"
grep -q "^Exec=$prefix/bin/ostilo$" "$entry" ||
    { echo "ostilo.desktop does not start the installed launcher"; exit 1; }
launch_exec=$(sed -n 's/^Exec=//p' "$entry")
launch_path=$(sed -n 's/^Path=//p' "$entry")
[ "$launch_path" = "$prefix/share/relperm/demo" ] ||
    { echo "ostilo.desktop does not start in the demo database (Path=$launch_path)"; exit 1; }
count=$(cd "$prefix/share/relperm/demo" && "$prefix/bin/relperm" db count --system "Water-Oil Data")
[ "$count" -gt 0 ] || { echo "the installed demo database holds no water-oil data"; exit 1; }

command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
    { echo "xvfb-run and xdotool are needed: run scripts/install-deps"; exit 1; }
mkdir -p "$work/home/.config"
cat >"$work/session.sh" <<SESSION
set -u
cd "$launch_path"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb $launch_exec &
launcher=\$!
window=\$(timeout 20 xdotool search --sync --onlyvisible --pid \$launcher | head -n 1)
[ -n "\$window" ] || { echo "the launcher opened no window"; exit 1; }
xdotool windowfocus --sync "\$window"
sleep 1
xdotool key Down   # the calculator
sleep 2
xdotool key Down   # the browser
sleep 2
xdotool key Down   # Exit
timeout 20 tail --pid=\$launcher -f /dev/null || { echo "Exit did not end the launcher"; exit 1; }
sleep 2
status=0
for program in vomar pellam; do
    found=""
    for pid in \$(pgrep -x \$program); do
        if [ "\$(readlink /proc/\$pid/exe)" = "$prefix/bin/\$program" ] &&
           [ "\$(readlink /proc/\$pid/cwd)" = "$launch_path" ]; then
            found=\$pid
            # The browser found data sets: it shows its window and no message about a folder
            # without data files.
            if [ \$program = pellam ]; then
                windows=\$(xdotool search --onlyvisible --pid \$pid | wc -l)
                [ "\$windows" -eq 1 ] ||
                    { echo "the browser shows \$windows windows, not its window alone"; status=1; }
            fi
            kill \$pid
        fi
    done
    [ -n "\$found" ] || { echo "\$program is not running after the launcher ended"; status=1; }
done
exit \$status
SESSION
env -u WAYLAND_DISPLAY xvfb-run -a bash "$work/session.sh"
status=$?
[ $status -eq 0 ] && echo "installed launcher started vomar and pellam, which outlived it"
exit $status
