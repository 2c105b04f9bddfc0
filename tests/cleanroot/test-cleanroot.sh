#!/usr/bin/env bash
# Proves that scripts/install-deps.sh alone makes a brand-new Debian 12 machine able to build, test
# and run Sondaryk: a minimal Debian 12 root is made from Debian's packages with this machine's own
# apt sources, the checkout is copied into it, and there only install-deps.sh is run before the
# README's run command starts the program (it must keep running) and the program and every test
# are configured and built and the data tests run. A package missing from the list fails this.
#
# Needs root (sudo is used otherwise), mmdebstrap and the network to Debian's mirrors. The root
# lives in a temporary folder; whatever happens, its mounts are undone, every process started in
# it is ended and the folder is removed.
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=TMPDIR "$0" "$@"
fi
command -v mmdebstrap >/dev/null || { echo "test-cleanroot: mmdebstrap is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sondaryk-cleanroot.XXXXXX")
root=$work/root
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

cleanup() {
    local status=$?
    local pids
    set +e
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
        status=1
    else
        rm -rf "$work"
    fi
    exit "$status"
}
trap cleanup EXIT

# The Debian sources this machine installs from, and nothing else it may have added.
sources=$work/debian.sources
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$sources"
else
    grep -hE '^deb .*debian' /etc/apt/sources.list >"$sources"
fi

# The checkout as git knows it (tracked and new files, not build trees), or the folder as it is.
tarball=$work/checkout.tar
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$source" ls-files -z --cached --others --exclude-standard |
        (cd "$source" && xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
        tar -C "$source" --null -T - -cf "$tarball"
else
    tar -C "$source" --exclude='./build*' -cf "$tarball" .
fi

# What runs inside: only install-deps.sh installs anything.
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
cd /root/sondaryk
echo "== clean root: scripts/install-deps.sh"
scripts/install-deps.sh
echo "== clean root: the README's run command starts the program"
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
for _ in $(seq 1 900); do
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
echo "== clean root: configure and build the program and the tests"
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-clean -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONDARYK_WERROR=ON -DSONDARYK_BUILD_BENCH=OFF >/dev/null
cmake --build build-clean -j "$(nproc)"
echo "== clean root: the data tests"
ctest --test-dir build-clean --output-on-failure -L data
INSIDE

echo "== clean root: a minimal Debian 12 root in $root"
mkdir "$root"
# Services that packages would start are kept from starting, as on a machine being installed.
mmdebstrap --mode=root --variant=minbase --quiet \
    --customize-hook='printf "#!/bin/sh\nexit 101\n" > "$1/usr/sbin/policy-rc.d"; chmod 755 "$1/usr/sbin/policy-rc.d"' \
    --customize-hook="mkdir -p \"\$1/root/sondaryk\" && tar -C \"\$1/root/sondaryk\" -xf '$tarball'" \
    --customize-hook="cp '$work/inside.sh' \"\$1/root/inside.sh\"" \
    --customize-hook='chroot "$1" bash /root/inside.sh' \
    bookworm "$root" "$sources"

echo "test-cleanroot: passed in $(($(date +%s) - started)) s"
