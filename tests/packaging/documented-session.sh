#!/usr/bin/env bash
# The kxrd4-cli session that the operator's manual (its page on backups) and
# the manual page show as real
# output from --emulator: each "$ " line is run in a fresh folder (kxrd4-cli on
# the PATH, stderr with stdout) and what it prints must be the lines shown
# after it, so that the documents stay true as the tool changes.
#
# Usage: documented-session.sh KXRD4-CLI MANUAL-PAGE.md kxrd4-cli.h2m
set -euo pipefail

cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
readme=$2
h2m=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
ln -s "$cli" "$work/bin/kxrd4-cli"

# The session of the Markdown page: the indented block that starts with the backup.
awk '/^    \$ kxrd4-cli --emulator backup/ { on = 1 } on && /^$/ { exit } on { print substr($0, 5) }' \
    "$readme" >"$work/readme.txt"
# The same in the manual page's examples: the first .nf block, roff escapes undone.
awk '/^\.nf$/ { on = 1; next } on && /^\.fi$/ { exit } on { print }' "$h2m" |
    sed -e 's/\\-/-/g' -e 's/\\e/\\/g' -e 's/^\\&//' >"$work/man.txt"

failed=0
check() { # NAME FILE
    local name=$1 file=$2 expected="" actual="" line cmd=""
    if ! grep -q '^\$ ' "$file"; then
        echo "$name: no session found"
        failed=1
        return
    fi
    rm -rf "$work/run" && mkdir "$work/run"
    run() {
        [ -n "$cmd" ] || return 0
        actual+="\$ $cmd"$'\n'
        actual+=$(cd "$work/run" && PATH="$work/bin:$PATH" bash -c "$cmd" 2>&1 || true)
        actual+=$'\n'
    }
    while IFS= read -r line; do
        expected+="$line"$'\n'
        if [[ "$line" == '$ '* ]]; then
            run
            cmd=${line#\$ }
        fi
    done <"$file"
    run
    # (A command without output adds an empty line.)
    actual=$(printf '%s' "$actual" | sed '/^$/d')
    expected=$(printf '%s' "$expected" | sed '/^$/d')
    if [ "$actual" != "$expected" ]; then
        echo "$name: the session shown differs from what kxrd4-cli prints:"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") || true
        failed=1
    else
        echo "$name: the session is true ($(grep -c '^\$ ' "$file") commands)"
    fi
}
check "$(basename "$readme")" "$work/readme.txt"
check "manual page" "$work/man.txt"
cmp -s "$work/readme.txt" "$work/man.txt" || {
    echo "$(basename "$readme") and the manual page show different sessions"
    failed=1
}
exit $failed
