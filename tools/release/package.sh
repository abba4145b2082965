#!/bin/bash
# Packs a built Netsonde.exe and netsonde-cli.exe for Windows users: a zip (Netsonde.exe,
# netsonde-cli.exe, the Wireshark dissector netsonde.lua, README.txt, LICENSE.txt) and an NSIS
# installer (tools/release/netsonde.nsi), both named with the version that the program's own
# version resource carries.
#
#   package.sh --exe PATH/Netsonde.exe --cli PATH/netsonde-cli.exe --out DIR
#
# Writes DIR/Netsonde-VERSION-win64.zip and DIR/Netsonde-VERSION-setup.exe and prints their
# paths. The same inputs give byte-identical files: every packed file gets the time
# SOURCE_DATE_EPOCH (default: the time of the checkout's last commit) and a fixed mode, and the
# files go in in a fixed order.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=""
cli=""
out=""
while [ $# -gt 0 ]; do
    case $1 in
        --exe) exe=$2; shift 2 ;;
        --cli) cli=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *)
            echo "usage: package.sh --exe NETSONDE_EXE --cli NETSONDE_CLI_EXE --out DIR" >&2
            exit 2
            ;;
    esac
done
if [ -z "$exe" ] || [ -z "$cli" ] || [ -z "$out" ] || [ ! -f "$exe" ] || [ ! -f "$cli" ]; then
    echo "usage: package.sh --exe NETSONDE_EXE --cli NETSONDE_CLI_EXE --out DIR" \
        "(both programs must be built)" >&2
    exit 2
fi

# ---- the version, from the program's own resources ----------------------------------------
# The version block is the one definition; the About box and the manifest must say the same,
# or the installer would show one version and the program another.
resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc)
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' <<<"$resources")
number='\([0-9]*\)'
quad=$(sed -n "s/^ *PRODUCTVERSION $number, *$number, *$number, *$number\$/\\1.\\2.\\3.\\4/p" \
    <<<"$resources")
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || [ "$quad" != "$version.0" ]; then
    echo "package: no usable version in $exe" \
        "(ProductVersion '$version', PRODUCTVERSION '$quad')" >&2
    exit 1
fi
for expected in "VALUE \"FileVersion\", \"$version\"" \
    "FILEVERSION ${version//./, }, 0" \
    "\"Netsonde Version $version\"" \
    "name=\"\"Netsonde\"\" version=\"\"$version.0\"\""; do
    if ! grep -qF "$expected" <<<"$resources"; then
        echo "package: $exe says version $version but lacks: $expected" >&2
        exit 1
    fi
done

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "package: not a git checkout; set SOURCE_DATE_EPOCH" >&2
        exit 2
    }
fi

# ---- the files, staged with fixed times and modes ------------------------------------------
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
files=(Netsonde.exe netsonde-cli.exe netsonde.lua README.txt LICENSE.txt)
cp "$exe" "$stage/Netsonde.exe"
cp "$cli" "$stage/netsonde-cli.exe"
# Wireshark reads either line end; the dissector goes out as it is kept.
cp "$root/tools/wireshark/netsonde.lua" "$stage/netsonde.lua"
# Text files with Windows line ends, so every Windows editor shows their lines.
sed 's/\r*$/\r/' "$root/README.md" >"$stage/README.txt"
sed 's/\r*$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
chmod 0755 "$stage/Netsonde.exe" "$stage/netsonde-cli.exe"
chmod 0644 "$stage/netsonde.lua" "$stage/README.txt" "$stage/LICENSE.txt"
touch -d "@$SOURCE_DATE_EPOCH" "${files[@]/#/$stage/}"

zip="$out/Netsonde-$version-win64.zip"
setup="$out/Netsonde-$version-setup.exe"
rm -f "$zip" "$setup"
# -X: no extra fields (owner, Unix times); zip writes DOS times in local time, hence TZ.
(cd "$stage" && TZ=UTC zip -q -X -D "$zip" "${files[@]}")

bytes=$(cat "${files[@]/#/$stage/}" | wc -c)
makensis -V2 -NOCD \
    -DVERSION="$version" -DVERSION_QUAD="$quad" -DSTAGE="$stage" \
    -DICON="$root/res/netsonde.ico" -DINSTALLED_KB=$(((bytes + 1023) / 1024)) \
    -DOUTFILE="$setup" "$here/netsonde.nsi" >"$stage/makensis.log" || {
    cat "$stage/makensis.log" >&2
    exit 1
}
echo "$zip"
echo "$setup"
