#!/usr/bin/env bash
# scripts/setup derives its deb-src entry from the machine's own apt source
# for the base suite, and no file of the repository names a host to fetch
# from. Usage: DebSrcEntry.sh SOURCE_DIR
set -uo pipefail
SOURCE_DIR=$1
# shellcheck source=../../scripts/setup
source "$SOURCE_DIR/scripts/setup"
set +e # the set-up's own options stop at the first failure; the checks go on

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect NAME CODENAME EXPECTED: derive_deb_src of $work/NAME.
expect() {
    local got
    got=$(derive_deb_src "$work/$1" "$2")
    [ "$got" = "$3" ] || fail "$1: expected
$3
got
$got"
}

# Host names below are made up: the test must not name a real one either.
mkdir -p "$work/deb822/sources.list.d"
cat > "$work/deb822/sources.list.d/mirror.sources" <<'SRC'
# the security suite first, then the base suite with its updates
Types: deb
URIs: http://mirror.invalid/security
Suites: trixie-security
Components: main
Signed-By: /usr/share/keyrings/example.gpg

Types: deb
URIs: http://mirror.invalid/base http://second.invalid/base
Suites: trixie trixie-updates
Components: main contrib
Signed-By: /usr/share/keyrings/example.gpg
SRC
expect deb822 trixie "Types: deb-src
URIs: http://mirror.invalid/base http://second.invalid/base
Suites: trixie
Components: main contrib
Signed-By: /usr/share/keyrings/example.gpg"

mkdir -p "$work/disabled/sources.list.d"
cat > "$work/disabled/sources.list.d/a.sources" <<'SRC'
Types: deb
URIs: http://old.invalid/base
Suites: trixie
Components: main
Enabled: no

Types: deb-src
URIs: http://src.invalid/base
Suites: trixie
Components: main

Types: deb
URIs: http://new.invalid/base
Suites: trixie
Components: main
SRC
expect disabled trixie "Types: deb-src
URIs: http://new.invalid/base
Suites: trixie
Components: main"

mkdir -p "$work/oneline/sources.list.d"
cat > "$work/oneline/sources.list" <<'SRC'
# deb http://commented.invalid/base trixie main
deb http://mirror.invalid/base trixie-updates main
deb [arch=amd64 signed-by=/usr/share/keyrings/example.gpg] http://mirror.invalid/base trixie main non-free
SRC
expect oneline trixie "Types: deb-src
URIs: http://mirror.invalid/base
Suites: trixie
Components: main non-free
Signed-By: /usr/share/keyrings/example.gpg"

mkdir -p "$work/none/sources.list.d"
echo "deb http://mirror.invalid/base bookworm main" > "$work/none/sources.list"
expect none trixie ""

# ensure_deb_src writes the derived entry for this machine's base suite, and
# nothing when a deb-src entry exists already.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mkdir -p "$work/machine/sources.list.d"
printf 'Types: deb\nURIs: http://mirror.invalid/base\nSuites: %s\nComponents: main\n' "$codename" \
    > "$work/machine/sources.list.d/base.sources"
APT_DIR="$work/machine"
ensure_deb_src 2>/dev/null
written=$(cat "$work/machine/sources.list.d/tavik8-src.sources" 2>/dev/null)
[ "$written" = "$(derive_deb_src "$work/machine" "$codename")" ] && [ -n "$written" ] ||
    fail "ensure_deb_src wrote '$written'"
APT_DIR="$work/disabled"
ensure_deb_src 2>/dev/null
[ ! -f "$work/disabled/sources.list.d/tavik8-src.sources" ] || fail "a deb-src entry existed: nothing to add"

# No tracked file names a host to fetch from.
scheme='(https?|ftp)'
if git -C "$SOURCE_DIR" rev-parse --git-dir >/dev/null 2>&1; then
    files=$(git -C "$SOURCE_DIR" ls-files)
else
    files=$(cd "$SOURCE_DIR" && find . -path ./build -prune -o -type f -print)
fi
hits=$(cd "$SOURCE_DIR" && printf '%s\n' "$files" | grep -v '^Tests/Setup/DebSrcEntry.sh$' |
    tr '\n' '\0' | xargs -0 grep -lIE "${scheme}:/""/[A-Za-z0-9]" 2>/dev/null || true)
[ -z "$hits" ] || fail "files that name a host: $hits"

[ "$failures" = 0 ] && echo "DebSrcEntry: all checks passed"
exit "$failures"
