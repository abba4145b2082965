#!/bin/bash
# Writes netsonde-cli's manual page from the program's own help, so that the page lists every
# command and option the program has (a page written by hand falls behind the first time a
# command is added):
#
#   manpage.sh NETSONDE_CLI OUT.1
#
# The top-level --help becomes NAME, SYNOPSIS, DESCRIPTION and OPTIONS (help2man); each
# command listed under "Commands:" gets its own part of COMMANDS from its --help, and the
# "Exit codes:" line becomes EXIT STATUS. The date is SOURCE_DATE_EPOCH's, so the same program
# gives the same page.
set -euo pipefail
if [ $# -ne 2 ] || [ ! -x "$1" ]; then
    echo "usage: manpage.sh NETSONDE_CLI OUT.1" >&2
    exit 2
fi
cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-manpage.XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$("$cli" --version)
commands=$("$cli" --help | sed -n '/^\(Sub\)\{0,1\}[Cc]ommands:$/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p')
if [ -z "$commands" ]; then
    echo "manpage: $cli --help names no subcommands" >&2
    exit 1
fi

# help2man's rendering of one subcommand's help, without the title lines: its usage as a
# subsection heading, then its description, arguments and options. The exit codes that every
# help repeats are said once, in EXIT STATUS.
command_part() {
    help2man -N --version-string="$version" -n "$1" "$cli $1" >"$work/$1.1"
    local usage
    usage=$("$cli" "$1" --help | sed -n 's/^Usage: //p')
    printf '.SS "%s"\n' "${usage//\\/\\e}"
    sed -e '1,/^\.SH DESCRIPTION$/d' -e 's/^\.SH OPTIONS$/.PP\nOptions:/' \
        -e 's/^\.SS "\(.*\)"$/.PP\n\1/' "$work/$1.1" | without_exit_codes
}

# A page without the paragraph that starts "Exit codes:" (and the .PP before it).
without_exit_codes() {
    awk '/^\.PP$/ { held = $0; next }
         /^Exit codes:/ { skipping = 1; held = ""; next }
         /^\./ { skipping = 0 }
         skipping { next }
         held != "" { print held; held = "" }
         { print }
         END { if (held != "") print held }'
}

{
    echo "[COMMANDS]"
    for command in $commands; do
        command_part "$command"
    done
    # "Exit codes: 0 done, 1 usage ..., 130 interrupted." as one paragraph per code.
    echo "[EXIT STATUS]"
    "$cli" --help | sed -n '/^Exit codes: /,/^$/p' | paste -sd' ' |
        sed -e 's/^Exit codes: //' -e 's/ *$//' -e 's/\.$//' -e 's/, \([0-9]\)/\n\1/g' |
        sed -n 's/^\([0-9]*\) \(.*\)$/.TP\n\1\n\2/p'
    cat <<'ROFF'
[FILES]
.TP
.I /usr/share/netsonde/netsonde.lua
A Wireshark dissector for the devices' record on UDP port 2719:
.B tshark \-X lua_script:/usr/share/netsonde/netsonde.lua \-Y netsonde
[SEE ALSO]
.BR tshark (1),
.BR wireshark (1)
ROFF
} >"$work/include.h2m"

help2man -N --version-string="$version" --include="$work/include.h2m" \
    -n "find managed network devices on the local segments and change their settings" \
    "$cli" >"$work/page.1"
# The exit codes of the top-level help are in EXIT STATUS already.
without_exit_codes <"$work/page.1" >"$out"
