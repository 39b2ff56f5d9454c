#!/usr/bin/env bash
# The command-line examples of the README, run as written in a scratch clone whose build/
# is this build: every one succeeds (deck check of a deck with findings exits 2, as it
# says), the transcript of `db count` prints the counts it shows, and afterwards git sees no
# file the examples wrote that .gitignore does not cover. The examples that need what a
# test cannot have are left out: make, cmake, sudo and apt, a window (pellam), and CASE.DATA,
# the user's own deck.
#
# usage: readme_examples.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

clone=$work/clone
git clone -q "$source_dir" "$clone" || { echo "git clone failed"; exit 1; }
# The README and .gitignore as they stand in the working tree, committed or not.
cp "$source_dir/README.md" "$source_dir/.gitignore" "$clone/"
(cd "$clone" && git add README.md .gitignore &&
    git -c user.name=t -c user.email=t@t commit -qm t >/dev/null) || true
ln -s "$build" "$clone/build"
echo /build >>"$clone/.git/info/exclude" # a link here; a folder in a user's clone
export HOME=$work/home PATH=$build/bin:$PATH
mkdir -p "$HOME"

# Each example: a sh block's lines with their continuations joined; "$ " transcript lines
# are commands, the lines after them up to the next "$ " what they print.
awk '/^```sh/ { block = 1; next } /^```/ { block = 0; next }
     block { if (line != "") { line = line " " } line = line $0
             if (line ~ /\\$/) { sub(/\\$/, "", line); next } print line; line = "" }' \
    "$source_dir/README.md" | sed -E 's/^ +//; s/ +/ /g' >"$work/lines"

commands=0
made_from_case=()
while IFS= read -r line; do
    transcript=0
    if [[ $line == '$ '* ]]; then
        line=${line#\$ }
        transcript=1
    fi
    [[ $line == relperm* || $line == build/bin/relperm* || $line == "mkdir -p ~/cores" ]] || continue
    # The user's own deck, and what is made from it.
    skipped=0
    for file in CASE.DATA "${made_from_case[@]}"; do
        [[ $line == *"$file"* ]] && skipped=1
    done
    if ((skipped)); then
        [[ $line =~ --out\ ([^ ]+) ]] && made_from_case+=("${BASH_REMATCH[1]}")
        continue
    fi
    command=${line%%#*}
    commands=$((commands + 1))
    out=$(cd "$clone" && eval "$command" 2>"$work/err")
    status=$?
    expected=0
    [[ $command == "relperm deck check "* && $command != *RELPERM.INC* ]] && expected=2
    [[ $status == "$expected" ]] || fail "exit $status: $command: $(head -c 300 "$work/err")"
    if ((transcript)); then
        shown=$(grep -F -A1 -x -- "\$ $line" "$source_dir/README.md" | sed -n 2p)
        [[ $shown == '$ '* || $shown == 'Data Set'* ]] || [[ $(head -n 1 <<<"$out") == "$shown" ]] ||
            fail "$command printed $(head -n 1 <<<"$out"), the README shows $shown"
    fi
done <"$work/lines"
((commands >= 25)) || fail "only $commands examples found in the README"

left=$(cd "$clone" && git status --porcelain --untracked-files=all)
[[ -z $left ]] || fail "the examples leave files .gitignore does not cover: $(echo $left)"
echo "$commands README examples run"
exit $failed
