# The lab guard for shell scripts (sourced, not run): lab_guard succeeds only inside a network
# namespace that the lab created. Same rule as tools/lab_guard.h:
#   - the current network namespace differs from the initial one: that of process 1, or, where
#     process 1 may not be inspected, that of kthreadd (process 2), which lives there always;
#   - it is the namespace named by NETSONDE_LAB_NS (prefix "nsws-") or NETSONDE_LAB_DEV_NS
#     (prefix "nsdev-") under /run/netns/.
# On refusal it prints why and returns 1.

# Only shell builtins: [[ A -ef B ]] compares device and inode, as stat(2) reports them.

# The machine's own network namespace file: process 1's, or else kthreadd's.
lab_initial_ns() {
    local comm=""
    if [[ -e /proc/1/ns/net ]]; then
        echo /proc/1/ns/net
        return 0
    fi
    read -r comm 2>/dev/null </proc/2/comm
    [[ $comm = kthreadd && -e /proc/2/ns/net ]] && echo /proc/2/ns/net
}

lab_guard() {
    local initial name prefix pair named=0
    if [[ ! -e /proc/self/ns/net ]]; then
        echo "lab guard: refusing: cannot read /proc/self/ns/net" >&2
        return 1
    fi
    if ! initial=$(lab_initial_ns); then
        echo "lab guard: refusing: cannot read the initial network namespace (root is required)" >&2
        return 1
    fi
    if [[ /proc/self/ns/net -ef $initial ]]; then
        echo "lab guard: refusing: running in the machine's own network namespace" >&2
        return 1
    fi
    for pair in "nsws-:${NETSONDE_LAB_NS:-}" "nsdev-:${NETSONDE_LAB_DEV_NS:-}"; do
        prefix=${pair%%:*}
        name=${pair#*:}
        [[ ${#name} -le 64 && $name =~ ^${prefix}[A-Za-z0-9_-]+$ ]] || continue
        named=1
        [[ /proc/self/ns/net -ef /run/netns/$name ]] && return 0
    done
    if [ $named = 1 ]; then
        echo "lab guard: refusing: the current network namespace is not the lab namespace named" \
             "by NETSONDE_LAB_NS or NETSONDE_LAB_DEV_NS" >&2
    else
        echo "lab guard: refusing: neither NETSONDE_LAB_NS nor NETSONDE_LAB_DEV_NS names a lab" \
             "namespace" >&2
    fi
    return 1
}
