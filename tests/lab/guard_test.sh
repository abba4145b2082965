#!/bin/bash
# The lab guard refuses everything that would send outside the lab's own namespaces: the
# simulator, the probe and the shell wrapper are run in the machine's own namespace (where they
# must stop before opening a socket) and, inside a lab, with the namespace names wrong.
#   guard_test.sh DEVSIM LABPROBE
set -uo pipefail
devsim=$1
probe=$2
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/lab-guard.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=check.sh
. "$lab_dir/check.sh"
printf 'device\n  mac 02:00:5e:10:00:01\n' >"$work/one.scn"

# In the machine's own namespace, with no lab named, with made-up lab names, and with names
# that try to leave /run/netns.
for names in "" "NETSONDE_LAB_NS=nsws-0 NETSONDE_LAB_DEV_NS=nsdev-0" \
             "NETSONDE_LAB_NS=nsws-../../proc/1/ns/net"; do
    env -u NETSONDE_LAB_NS -u NETSONDE_LAB_DEV_NS $names \
        "$devsim" --log "$work/sim.log" --ready-file "$work/ready" "$work/one.scn" \
        >"$work/out" 2>"$work/err"
    check "devsim refuses here [$names]" 3 $?
    check "devsim says why [$names]" 1 "$(grep -c 'refusing to run' "$work/err")"
    check "devsim never got ready [$names]" "no no" \
        "$(grep -q ready "$work/out" && echo yes || echo no) $([ -e "$work/ready" ] && echo yes || echo no)"
    env -u NETSONDE_LAB_NS -u NETSONDE_LAB_DEV_NS $names "$probe" --wait 10 >/dev/null 2>&1
    check "labprobe refuses here [$names]" 3 $?
    env -u NETSONDE_LAB_NS -u NETSONDE_LAB_DEV_NS $names "$lab_dir/in_lab.sh" true 2>/dev/null
    check "in_lab.sh refuses here [$names]" 97 $?
done
check "no log was written" no "$([ -e "$work/sim.log" ] && echo yes || echo no)"

if [ "$(id -u)" -eq 0 ]; then
    # Inside the workstation namespace: only the name of this very namespace lets a command run.
    cat >"$work/inside.sh" <<EOF
#!/bin/bash
"$lab_dir/in_lab.sh" true; echo "ws \$?"
NETSONDE_LAB_NS= "$lab_dir/in_lab.sh" true 2>/dev/null; echo "dev-only \$?"
NETSONDE_LAB_NS=\$NETSONDE_LAB_DEV_NS "$lab_dir/in_lab.sh" true 2>/dev/null; echo "swapped \$?"
NETSONDE_LAB_NS= "$devsim" "$work/one.scn" >/dev/null 2>&1; echo "devsim-dev-only \$?"
EOF
    chmod +x "$work/inside.sh"
    "$lab_dir/netlab.sh" -- "$work/inside.sh" >"$work/inside.out"
    check "inside the lab" "ws 0|dev-only 97|swapped 97|devsim-dev-only 3" \
        "$(tr '\n' '|' <"$work/inside.out" | sed 's/|$//')"
else
    echo "skipped the checks inside a lab: not root"
fi
finish
