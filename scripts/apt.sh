# Package installs that ride out a package mirror's bad moment (sourced, not run): an index caught
# mid-sync, or a source that does not answer, makes the index update try again after a pause, and
# then the install goes on with what was fetched. Only a package that cannot be installed fails,
# and the message names it and shows the end of apt's output.
#
# The caller may set apt_who (the name its messages start with), apt_log (where apt's output goes;
# by default a temporary file, removed when all went well) and, to run apt in a chroot, apt_root
# with an apt_in function that runs a command there.
apt_who=${apt_who:-$(basename "$0")}
apt_root=${apt_root:-}
apt_in() { "$@"; }
apt_failed=()          # the fetches the last update could not make: "URI suite[/component arch] file"
apt_partial_suites=()  # the suites whose release came but one of whose package indexes did not
apt_told=              # set once a failure has been told

# Fetches the package indexes. A failed fetch is tried again twice, after 10 s and then 20 s (a
# mirror in the middle of a sync is whole again within minutes); after that the update goes on
# with what was fetched. Another run may be installing meanwhile: apt waits for its lock instead
# of failing.
apt_update() {
    local attempt output status missed
    for attempt in 1 2 3; do
        status=0
        output=$(apt_in apt-get update -q -o DPkg::Lock::Timeout=600 2>&1) || status=$?
        printf '%s\n' "$output" >>"$apt_log"
        mapfile -t apt_failed < <(printf '%s\n' "$output" | sed -n 's/^Err:[0-9]* //p')
        [ "$status" != 0 ] || [ ${#apt_failed[@]} != 0 ] || return 0
        missed=$(printf '%s, ' "${apt_failed[@]}")
        missed=${missed%, }
        if [ "$attempt" -lt 3 ]; then
            echo "$apt_who: could not fetch ${missed:-the package indexes}; trying again in $((attempt * 10)) s" >&2
            sleep $((attempt * 10))
        fi
    done
    mapfile -t apt_partial_suites < <(printf '%s\n' "${apt_failed[@]}" | awk '$2 ~ /\// { sub(/\/.*/, "", $2); print $2 }' | sort -u)
    echo "$apt_who: going on without ${missed:-what could not be fetched}" >&2
}

# apt_install [apt-get options] -- packages: installs the packages, without recommends.
# A suite fetched only in part is pinned below the others for the install: a library and its copy
# for the other architecture must be of one version, and a suite whose index of one architecture
# is missing offers a newer version to the other alone, which apt then cannot pair. (A source
# that did not answer at all offers nothing, and needs no pin.)
apt_install() {
    local options=() pins="" suite package unable=()
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    if [ ${#apt_partial_suites[@]} -gt 0 ]; then
        pins=$(mktemp -p "$apt_root/tmp" varmoth-apt-pins.XXXXXX)
        # The pins take the place of /etc/apt/preferences for this install, so they carry it along.
        cat "$apt_root/etc/apt/preferences" >"$pins" 2>/dev/null || :
        for suite in "${apt_partial_suites[@]}"; do
            printf '\nPackage: *\nPin: release n=%s\nPin-Priority: 1\n' "$suite" >>"$pins"
        done
        options+=(-o "Dir::Etc::Preferences=${pins#"$apt_root"}")
    fi
    options=(-y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${options[@]}")
    if apt_in apt-get install "${options[@]}" "$@" >>"$apt_log" 2>&1; then
        rm -f "$pins"
        return 0
    fi
    # Which of them apt cannot install, each asked alone; all of them when each alone would do.
    for package; do
        apt_in apt-get install --simulate "${options[@]}" "$package" >/dev/null 2>&1 || unable+=("$package")
    done
    rm -f "$pins"
    apt_told=yes
    echo "$apt_who: cannot install ${unable[*]:-$*}; the end of apt's output ($apt_log):" >&2
    tail -n 20 "$apt_log" | sed 's/^/    /' >&2
    return 1
}

# apt_ensure packages: installs those of the packages that are not installed yet, if any.
apt_ensure() {
    local package missing=() own_log=""
    for package; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    [ -n "${apt_log:-}" ] || { apt_log=$(mktemp -t varmoth-apt.XXXXXX.log); own_log=yes; }
    apt_update
    apt_install -- "${missing[@]}"
    [ -z "$own_log" ] || rm -f "$apt_log"
}
