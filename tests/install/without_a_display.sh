#!/usr/bin/env bash
# The window programs started from a shell with no window system, as over ssh or in a
# terminal of a machine without a desktop: --help, --version and a wrong option are
# answered as the manual pages promise, Qt's own options are let through, and a start that
# needs a window says in one line that there is no display and ends with status 1, where Qt
# would abort (status 134) and advise reinstalling.
# Usage: without_a_display.sh VOMAR PELLAM OSTILO
set -uo pipefail

declare -A program=([vomar]=$1 [pellam]=$2 [ostilo]=$3)
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# Runs a program with the environment given before it and without any display; a window
# that opened after all keeps it running into the time-out (status 124).
status=0
run() {
    timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR="$scratch" "$@" >"$scratch/out" 2>"$scratch/err"
    status=$?
}
out() { cat "$scratch/out"; }
err() { cat "$scratch/err"; }
lines() { grep -c '' "$scratch/$1"; }

version=$(run "${program[vomar]}" --version && out | sed -n 's/^vomar //p')

for name in vomar pellam ostilo; do
    binary=${program[$name]}

    run "$binary" --help
    [[ $status == 0 ]] || fail "$name --help exits $status: $(err)"
    out | grep -q "^Usage: .*$name" || fail "$name --help prints no usage: $(out)"

    run "$binary" --version
    [[ $status == 0 && $(out) == "$name $version" ]] ||
        fail "$name --version exits $status, prints \"$(out)\" $(err)"

    for option in --no-such-option -x; do
        run "$binary" "$option"
        [[ $status == 2 ]] || fail "$name $option exits $status, not 2: $(err)"
        [[ $(lines err) == 1 ]] && grep -q "^$name: .*${option##*-}" "$scratch/err" ||
            fail "$name $option is not refused in one line naming it: $(err)"
    done

    # Qt's own options, and their values, are neither refused nor taken for an argument.
    run "$binary" -style fusion --reverse -platform xcb --version
    [[ $status == 0 && $(out) == "$name $version" ]] ||
        fail "$name with Qt's options before --version exits $status: $(err)"
    run "$binary" -platform offscreen --no-such-option
    [[ $status == 2 ]] || fail "$name -platform offscreen --no-such-option exits $status, not 2"

    # Qt's options listed too: the application that knows them starts without a screen.
    run "$binary" --help-all
    [[ $status == 0 ]] || fail "$name --help-all exits $status: $(err)"
    out | grep -q -- "-platform" || fail "$name --help-all lists no Qt option: $(out)"

    # A window is needed: no display to show it, said so in one line.
    run "$binary"
    [[ $status == 1 ]] || fail "$name without a display exits $status, not 1"
    [[ $(lines err) == 1 ]] && grep -q "^$name: cannot open a window: no display" "$scratch/err" ||
        fail "$name without a display says: $(err)"
    run env DISPLAY=:97 QT_QPA_PLATFORM=xcb "$binary"
    [[ $status == 1 && $(lines err) == 1 ]] && grep -q '":97" could not be reached' "$scratch/err" ||
        fail "$name on a display that is not there exits $status and says: $(err)"
    run env QT_QPA_PLATFORM=nowhere "$binary"
    [[ $status == 1 && $(lines err) == 1 ]] && grep -q '"nowhere" could not be started' "$scratch/err" ||
        fail "$name on a window system that does not exist exits $status and says: $(err)"
    grep -qi "reinstall" "$scratch/err" && fail "$name still advises reinstalling: $(err)"
done

# The argument each takes, named in its help.
run "${program[vomar]}" --help
out | grep -q "^Usage: .* \[file\]" || fail "vomar --help takes no run file: $(out)"
run "${program[pellam]}" --help
out | grep -q "^Usage: .* \[folder\]" || fail "pellam --help takes no folder: $(out)"

if ((failures)); then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "window programs without a display: every check passed"
