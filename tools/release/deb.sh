#!/bin/bash
# Packs a built Linux netsonde-cli as a Debian package:
#
#   deb.sh --cli PATH/netsonde-cli --out DIR
#
# Writes DIR/netsonde-cli_VERSION_ARCH.deb and prints its path. VERSION is what the program's
# --version prints. The package holds the program (stripped), its manual page made from its
# help (manpage.sh), a bash completion, the Wireshark dissector under /usr/share/netsonde/, the
# MIT license as a machine-readable copyright file and a changelog; Depends is what the program
# links, as dpkg-shlibdeps finds it. The maintainer is the committer of the checkout's last
# commit (NETSONDE_MAINTAINER overrides). The same inputs give a byte-identical package: every
# file carries the time SOURCE_DATE_EPOCH (default: the last commit's), root owns everything,
# and modes are fixed.
#
# No file capability is set: the program binds each socket to its interface with
# SO_BINDTODEVICE before binding it to an address, which needs no privilege since Linux 5.7
# (Debian 12 runs 6.1); cap_net_raw on the file would let every local user send raw packets
# through it, far more than it needs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cli=""
out=""
while [ $# -gt 0 ]; do
    case $1 in
        --cli) cli=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) echo "usage: deb.sh --cli NETSONDE_CLI --out DIR" >&2; exit 2 ;;
    esac
done
if [ -z "$cli" ] || [ -z "$out" ] || [ ! -x "$cli" ]; then
    echo "usage: deb.sh --cli NETSONDE_CLI --out DIR (the program must be built)" >&2
    exit 2
fi

version=$("$cli" --version)
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "deb: $cli --version says '$version', not a version" >&2
    exit 1
fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "deb: not a git checkout; set SOURCE_DATE_EPOCH" >&2
        exit 2
    }
fi
export SOURCE_DATE_EPOCH
maintainer=${NETSONDE_MAINTAINER:-$(git -C "$root" log -1 --format='%cn <%ce>' 2>/dev/null)} || {
    echo "deb: not a git checkout; set NETSONDE_MAINTAINER" >&2
    exit 2
}
package=netsonde-cli
arch=$(dpkg --print-architecture)

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The same modes whatever the caller's umask.
umask 022
stage=$work/stage
doc=$stage/usr/share/doc/$package
mkdir -p "$stage/DEBIAN" "$stage/usr/bin" "$stage/usr/share/man/man1" "$doc" \
    "$stage/usr/share/bash-completion/completions" "$stage/usr/share/netsonde"

# What dh_strip does: no debug information, no notes or comments that differ between builds.
strip --remove-section=.comment --remove-section=.note --strip-unneeded \
    -o "$stage/usr/bin/$package" "$cli"
chmod 0755 "$stage/usr/bin/$package"
"$here/manpage.sh" "$cli" "$work/$package.1"
gzip -9n <"$work/$package.1" >"$stage/usr/share/man/man1/$package.1.gz"
cp "$here/netsonde-cli.bash-completion" "$stage/usr/share/bash-completion/completions/$package"
cp "$root/tools/wireshark/netsonde.lua" "$stage/usr/share/netsonde/netsonde.lua"

# The license's own text under its SPDX name, Debian's machine-readable format; blank lines
# of the text become " .".
copyright=$(sed -n 's/^Copyright (c) //p' "$root/LICENSE")
{
    echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
    echo "Upstream-Name: Netsonde"
    echo
    echo "Files: *"
    echo "Copyright: $copyright"
    echo "License: Expat"
    echo
    echo "License: Expat"
    sed -e '1,/^Permission/{/^Permission/!d}' -e 's/^$/./' -e 's/^/ /' "$root/LICENSE"
} >"$doc/copyright"

date=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
cat >"$work/changelog" <<CHANGELOG
$package ($version) unstable; urgency=medium

  * Release $version of netsonde-cli, from the Netsonde sources.

 -- $maintainer  $date
CHANGELOG
gzip -9n <"$work/changelog" >"$doc/changelog.gz"

# Depends: what the program links, in dpkg-shlibdeps' form; it wants a debian/control to read.
mkdir -p "$work/src/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" \
    >"$work/src/debian/control"
depends=$(cd "$work/src" && dpkg-shlibdeps -O "$stage/usr/bin/$package" 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
if [ -z "$depends" ]; then
    echo "deb: dpkg-shlibdeps found no libraries for $cli" >&2
    exit 1
fi

find "$stage/usr" -type d -exec chmod 0755 {} +
find "$stage/usr" -type f ! -path "*/usr/bin/*" -exec chmod 0644 {} +
installed_kb=$(du -k -s --apparent-size "$stage/usr" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: $package
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $installed_kb
Depends: $depends
Suggests: tshark | wireshark
Section: net
Priority: optional
Description: find managed network devices and change their network settings
 netsonde-cli finds the managed network devices on every local network
 segment at once with one UDP broadcast exchange (port 2719) and changes
 their network settings: address, mask, gateway, TFTP server, image file
 and name, one device at a time or many from a CSV plan, verified by a
 rescan. Scans print as a table, CSV or JSON.
 .
 The package also holds a Wireshark dissector for the devices' protocol.
CONTROL
(cd "$stage" && find usr -type f -printf '%P\n' | LC_ALL=C sort |
    sed 's|^|usr/|' | xargs md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

deb=$out/${package}_${version}_${arch}.deb
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
