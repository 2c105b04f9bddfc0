#!/usr/bin/env bash
# Proves that scripts/install-deps.sh alone makes a brand-new Debian 12 or Debian 13 machine able to
# run, build and test Sondaryk. For each release a minimal root is made from Debian's packages with
# this machine's own apt sources (under the release's names) and the checkout is copied into it.
# In the Debian 12 root the README's run command comes first, alone: it must start the program and
# leave the test tools uninstalled. Then, in both roots, only `scripts/install-deps.sh --test`
# installs anything before the program and every test are built with warnings as errors, the whole
# CTest suite runs and the Debian package is built, installed and started. A package missing from
# either list fails this. The seconds of every stage are printed.
#
# SONDARYK_CLEAN_ROOTS chooses the releases: "bookworm trixie" unless set (e.g. to "trixie").
# Needs root (sudo is used otherwise), mmdebstrap and the network to Debian's mirrors. Each root
# lives in a temporary folder; whatever happens, its mounts are undone, every process started in
# it is ended and the folder is removed.
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=TMPDIR,SONDARYK_CLEAN_ROOTS "$0" "$@"
fi
command -v mmdebstrap >/dev/null ||
    { echo "test-cleanroot: mmdebstrap is missing (scripts/install-deps.sh --test installs it)" >&2; exit 1; }
releases=${SONDARYK_CLEAN_ROOTS:-bookworm trixie}
for release in $releases; do
    case "$release" in
    bookworm | trixie) ;;
    *) echo "test-cleanroot: no clean root for \"$release\"; bookworm and trixie are known" >&2; exit 2 ;;
    esac
done
this_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case "$this_release" in
bookworm | trixie) ;;
*) echo "test-cleanroot: this machine's apt sources are for neither bookworm nor trixie" >&2; exit 1 ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/sondaryk-cleanroot.XXXXXX")
root=""
started=$(date +%s)

# Processes whose root directory lies in the clean root: anything a package or the program left
# running there.
processes_in_root() {
    local link pid
    for link in /proc/[0-9]*/root; do
        pid=${link#/proc/}
        pid=${pid%/root}
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] && echo "$pid"
    done
    return 0
}

mounts_in_root() {
    findmnt -rn -o TARGET | grep -F "$root" || true
}

# Ends what still runs in the current root, undoes its mounts and removes it; false when a mount
# stays.
remove_root() {
    local pids
    [ -n "$root" ] && [ -d "$root" ] || return 0
    pids=$(processes_in_root)
    if [ -n "$pids" ]; then
        kill $pids 2>/dev/null || true
        sleep 1
        pids=$(processes_in_root)
        [ -n "$pids" ] && kill -9 $pids 2>/dev/null || true
    fi
    # Innermost mounts first.
    mounts_in_root | sort -r | while read -r target; do
        umount -l "$target" 2>/dev/null || true
    done
    if [ -n "$(mounts_in_root)" ]; then
        echo "test-cleanroot: could not unmount everything under $root" >&2
        return 1
    fi
    rm -rf "$root"
}

cleanup() {
    local status=$?
    set +e
    if remove_root; then
        rm -rf "$work"
    else
        status=1
    fi
    exit "$status"
}
trap cleanup EXIT

# The checkout as git knows it (tracked and new files, not build trees), or the folder as it is.
tarball=$work/checkout.tar
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source" ls-files -z --cached --others --exclude-standard |
        (cd "$source" && xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
        tar -C "$source" --null -T - -cf "$tarball"
else
    tar -C "$source" --exclude='./build*' -cf "$tarball" .
fi

# What runs inside: only the two scripts of the README install anything. $1 is "run-first" where
# the run command comes alone before the test packages.
cat >"$work/inside.sh" <<'INSIDE'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
# Whatever was started in this root ends with this script: a process left running would keep
# mmdebstrap waiting for it.
end_what_was_started() {
    local me pid
    me=$(stat -L -c %d:%i /)
    for pid in /proc/[0-9]*; do
        pid=${pid#/proc/}
        [ "$pid" = $$ ] && continue
        [ "$(stat -L -c %d:%i "/proc/$pid/root" 2>/dev/null)" = "$me" ] && kill -9 "$pid" 2>/dev/null
    done
    return 0
}
trap end_what_was_started EXIT
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
stage_started=0
stage() {
    stage_started=$(date +%s)
    echo "== clean $release root: $*"
}
stage_done() {
    echo "$(printf '%6d s' $(($(date +%s) - stage_started)))  $release: $*" | tee -a /root/stages.txt
}
cd /root/sondaryk

if [ "${1:-}" = run-first ]; then
    stage "the README's run command alone starts the program"
    # Without a display, run.sh starts the program under xvfb-run; it must still run after 10 s.
    setsid scripts/run.sh >/root/run.log 2>&1 &
    runner=$!
    # This root's own program, not a copy that may run on the machine outside.
    program_runs() {
        local exe
        for exe in /proc/[0-9]*/exe; do
            [ "$(readlink "$exe" 2>/dev/null)" = /root/sondaryk/build/bin/sondaryk ] && return 0
        done
        return 1
    }
    for _ in $(seq 1 1500); do
        program_runs && break
        kill -0 "$runner" 2>/dev/null || { cat /root/run.log; echo "run.sh ended before the program started" >&2; exit 1; }
        sleep 1
    done
    program_runs || { cat /root/run.log; echo "the program did not start" >&2; exit 1; }
    sleep 10
    program_runs || { cat /root/run.log; echo "the program did not keep running" >&2; exit 1; }
    kill -- -"$runner" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
    echo "the program started and kept running"
    # The test tools are left for the test command.
    for package in libreoffice-core libreoffice-calc-nogui clang mmdebstrap cups cups-daemon \
        printer-driver-cups-pdf xdotool xclip poppler-utils imagemagick; do
        if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            echo "the run command installed $package, a tool of the tests only" >&2
            exit 1
        fi
    done
    for program in soffice clang mmdebstrap cupsd; do
        if command -v "$program" >/dev/null; then
            echo "the run command left $program installed, a tool of the tests only" >&2
            exit 1
        fi
    done
    echo "none of the test tools is installed"
    stage_done "run command (install the run set, build, start)"
fi

stage "scripts/install-deps.sh --test"
scripts/install-deps.sh --test
stage_done "install --test"

stage "configure and build the program and every test with -Werror"
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-clean -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONDARYK_WERROR=ON -DSONDARYK_BUILD_BENCH=OFF >/dev/null
cmake --build build-clean -j "$(nproc)"
stage_done "build -Werror"

stage "the whole CTest suite"
ctest --test-dir build-clean --output-on-failure -j "$(nproc)"
# Every test ran here as it runs on a developer's machine: a test skipped for a tool, a locale or a
# permission this root lacks would hide what install-deps.sh leaves out. Root may write into any
# folder, so that one test is skipped everywhere the command runs as root.
skipped=$(grep -h '^SKIP' build-clean/Testing/Temporary/LastTest.log |
    grep -v 'permissions do not stop root from writing' || true)
if [ -n "$skipped" ]; then
    echo "$skipped"
    echo "tests were skipped in the clean $release root" >&2
    exit 1
fi
stage_done "ctest"

stage "the Debian package built, installed and started"
tests/package/test-package.sh build-clean
stage_done "Debian package"
INSIDE

stages=$work/stages.txt
: >"$stages"
for release in $releases; do
    release_started=$(date +%s)
    root=$work/root-$release
    # The Debian sources this machine installs from, under the release's names, and nothing else
    # it may have added.
    sources=$work/debian-$release.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        cp /etc/apt/sources.list.d/debian.sources "$sources"
    else
        grep -hE '^deb .*debian' /etc/apt/sources.list >"$sources"
    fi
    sed -i "s/\b$this_release\b/$release/g" "$sources"
    first=""
    [ "$release" = bookworm ] && first=run-first

    echo "== clean root: a minimal $release root in $root"
    mkdir "$root"
    # Services that packages would start are kept from starting, as on a machine being installed;
    # dpkg does not wait for the disk after every file of a root that is thrown away.
    mmdebstrap --mode=root --variant=minbase --quiet --dpkgopt=force-unsafe-io \
        --customize-hook='printf "#!/bin/sh\nexit 101\n" > "$1/usr/sbin/policy-rc.d"; chmod 755 "$1/usr/sbin/policy-rc.d"' \
        --customize-hook="mkdir -p \"\$1/root/sondaryk\" && tar -C \"\$1/root/sondaryk\" -xf '$tarball'" \
        --customize-hook="cp '$work/inside.sh' \"\$1/root/inside.sh\"" \
        --customize-hook="chroot \"\$1\" bash /root/inside.sh $first" \
        --customize-hook="cat \"\$1/root/stages.txt\" >>'$stages'" \
        "$release" "$root" "$sources"
    remove_root
    printf '%6d s  %s: the whole root, made to removed\n' $(($(date +%s) - release_started)) "$release" >>"$stages"
done

echo "== clean roots: seconds per stage"
cat "$stages"
echo "test-cleanroot: passed in $(($(date +%s) - started)) s"
