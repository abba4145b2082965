#!/bin/bash
# The Debian package of netsonde-cli under test, made from the Linux build's program with
# tools/release/deb.sh (twice: the two must come out byte-identical). lintian finds no error or
# warning in it; then it is installed with dpkg -i, the installed program says its version, its
# manual page is found, its bash completion completes commands, options and option values from
# the program's help, and dpkg -r leaves nothing of it behind.
#
#   deb_e2e.sh NETSONDE_CLI
#
# Installs into this machine's own root, so it needs root and refuses when a netsonde-cli
# package is installed already (exit 77: skipped, when not root).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: deb_e2e.sh NETSONDE_CLI" >&2
    exit 2
fi
cli=$1
package=netsonde-cli
fail() {
    echo "deb_e2e: $*" >&2
    exit 1
}
if [ "$(id -u)" -ne 0 ]; then
    echo "deb_e2e: installing a package needs root; skipped" >&2
    exit 77
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' installed$'; then
    fail "$package is installed on this machine; remove it first (dpkg -r $package)"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-deb-e2e.XXXXXX")
installed=0
cleanup() {
    [ $installed = 0 ] || dpkg -r "$package" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# Any fixed time will do here; a release takes its commit's.
export SOURCE_DATE_EPOCH=1767225600
for run in 1 2; do
    "$root/tools/release/deb.sh" --cli "$cli" --out "$work/$run" >/dev/null
done
deb=$(echo "$work"/1/*.deb)
cmp -s "$deb" "$work/2/$(basename "$deb")" || fail "two packagings of the same program differ"

# No overrides: the package has nothing that needs one.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) ||
    fail "lintian finds errors or warnings in $(basename "$deb")"

dpkg -i "$deb" >/dev/null
installed=1
[ "$(command -v netsonde-cli)" = /usr/bin/netsonde-cli ] || fail "netsonde-cli is not on the PATH"
[ "$(netsonde-cli --version)" = "$("$cli" --version)" ] || fail "netsonde-cli --version differs"
[ "$(man -w netsonde-cli)" = /usr/share/man/man1/netsonde-cli.1.gz ] ||
    fail "man -w netsonde-cli finds '$(man -w netsonde-cli 2>&1)'"

# The completion as bash-completion loads it, on demand from its folder: words typed so far
# (the last one being completed) and the choices it must offer.
completions=(
    "netsonde-cli sc|scan"
    "netsonde-cli scan --fo|--format"
    "netsonde-cli scan --format |table csv json"
    "netsonde-cli set 02:00:5e:00:00:01 --dry|--dry-run"
    "netsonde-cli set 02:00:5e:00:00:01 --ip |"
)
for case in "${completions[@]}"; do
    offered=$(bash -c '
        . /usr/share/bash-completion/bash_completion
        __load_completion netsonde-cli
        read -r -a COMP_WORDS <<<"$1"
        [[ $1 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1}
        function=$(complete -p netsonde-cli | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
        "$function" netsonde-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"' _ "${case%%|*}")
    [ "$offered" = "${case#*|}" ] ||
        fail "completing '${case%%|*}' offers '$offered', not '${case#*|}'"
done

dpkg -r "$package" >/dev/null
installed=0
status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "$package is '$status' after dpkg -r"
# Every file of the package gone, and every folder of it that no other package owns.
left=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | while read -r path; do
    if [ -n "$path" ] && [ -e "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
        echo "$path"
    fi
done)
[ -z "$left" ] || fail "left behind after dpkg -r: $left"
echo "deb_e2e: $(basename "$deb") ($(stat -c %s "$deb") bytes) passes"
