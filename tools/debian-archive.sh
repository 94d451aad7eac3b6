# shellcheck shell=bash
# Shell functions for the scripts that make Debian trees with mmdebstrap and
# enter them as chroots; sourced, not run.

# What the archive says when it cannot be read for now: unreachable, or an
# index inconsistent while a mirror syncs, or a Release file out of date.
ARCHIVE_TROUBLE='Failed to fetch|unexpected size|Hash Sum mismatch|Mirror sync|Could not resolve|Could not connect|Temporary failure|Release file .* is (expired|not valid yet)|apt-get update.* failed'
# The exit status for "the archive could not be read" (EX_TEMPFAIL).
ARCHIVE_TROUBLE_STATUS=75

# Runs a command that reads the archive. Returns ARCHIVE_TROUBLE_STATUS
# where the archive could not be read; exits on any other failure.
read_archive() {
    local status=0
    "$@" || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq "$ARCHIVE_TROUBLE_STATUS" ] || exit "$status"
    return "$status"
}

# Prints the system's own Debian mirrors as mmdebstrap's sources for the
# release RELEASE, one a line: each of the system's sources for its own
# release and that release's updates and security suites, for the same
# suites of RELEASE. Prints nothing where the system is not Debian, as on
# Ubuntu: mmdebstrap then takes Debian's own addresses.
system_mirrors() {
    local release=$1 codename
    [ "$(sed -n 's/^ID=//p' /etc/os-release)" = debian ] || return 0
    codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
    # shellcheck disable=SC2016 # apt's own placeholders
    apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
        sort -u | while read -r uri suite component; do
            case $suite in
            "$codename" | "$codename"-updates | "$codename"-security)
                echo "deb $uri $release${suite#"$codename"} $component"
                ;;
            esac
        done
}

# Runs mmdebstrap with these arguments, its output in LOG. When it fails, says
# so in one loud line with mmdebstrap's last words, then exits: with
# ARCHIVE_TROUBLE_STATUS where the archive was to blame, with 1 otherwise.
# Usage: run_mmdebstrap LOG WHAT ARGUMENTS...
run_mmdebstrap() {
    local log=$1 what=$2
    shift 2
    if mmdebstrap "$@" >"$log" 2>&1; then
        return
    fi
    if grep -Eq "$ARCHIVE_TROUBLE" "$log"; then
        echo "$(basename "$0"): COULD NOT MAKE $what: THE ARCHIVE COULD NOT BE READ; mmdebstrap said:" >&2
        tail -n 5 "$log" >&2
        exit "$ARCHIVE_TROUBLE_STATUS"
    fi
    echo "$(basename "$0"): could not make $what; mmdebstrap said:" >&2
    tail -n 5 "$log" >&2
    exit 1
}

CHROOT_MOUNTS=()

# Mounts /proc, /dev, /dev/pts, /dev/shm and /sys into the chroot ROOT, for
# leave_chroot to unmount.
enter_chroot() {
    local target
    for target in proc dev dev/pts dev/shm sys; do
        mkdir -p "$1/$target"
        mount --bind "/$target" "$1/$target"
        CHROOT_MOUNTS+=("$1/$target")
    done
}

# Kills what still runs inside the chroot ROOT (only processes whose root is
# it), unmounts what enter_chroot mounted and removes WORK, the folder that
# holds the chroot, unless something is still mounted below it.
# Usage: leave_chroot ROOT WORK
leave_chroot() {
    local root=$1 work=$2 proc index
    for proc in /proc/[0-9]*; do
        if [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ]; then
            kill -KILL "${proc#/proc/}" 2>/dev/null || true
        fi
    done
    for ((index = ${#CHROOT_MOUNTS[@]} - 1; index >= 0; index--)); do
        umount "${CHROOT_MOUNTS[index]}" 2>/dev/null || umount --lazy "${CHROOT_MOUNTS[index]}" || true
    done
    CHROOT_MOUNTS=()
    if grep -q " $root/" /proc/mounts; then
        echo "$(basename "$0"): something is still mounted below $root; left it in place" >&2
    else
        rm -rf --one-file-system "$work"
    fi
}
