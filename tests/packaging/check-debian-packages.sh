#!/bin/sh
# usage: check-debian-packages.sh SOURCE_DIR
# The Debian packages as a practice gets them: built twice (the tree's
# version and a test-only next version from a copy), the first installed
# into a fresh Debian 12 root made here from Debian's packages, used,
# upgraded to the second, then removed and purged. Needs root and the
# network to Debian's mirror; takes about 20 minutes on two cores.
set -eu
source=$(cd "$1" && pwd)
work=$(mktemp -d /var/tmp/xtb-debian-XXXXXX)
netns=xtbd$$
cleanup() {
  ip netns del "$netns" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 0755 "$work"

# The tree's own version, and the next one from a copy of the tree.
"$source/scripts/build-debian-packages" "$work/old"
mkdir "$work/next"
tar -C "$source" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -C "$work/next" -xf -
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -SVersion)
next="${version%.*}.$((${version##*.} + 1))"
sed -i "s/^project(xtbasis VERSION $version /project(xtbasis VERSION $next /" "$work/next/CMakeLists.txt"
{
  printf 'xtbasis (%s) bookworm; urgency=medium\n\n  * Test build of the next version.\n\n' "$next"
  printf ' -- %s  %s\n\n' "$(dpkg-parsechangelog -l "$source/debian/changelog" -SMaintainer)" "$(date -R)"
  cat "$source/debian/changelog"
} >"$work/next/debian/changelog.new"
mv "$work/next/debian/changelog.new" "$work/next/debian/changelog"
"$work/next/scripts/build-debian-packages" "$work/new"

# Two computers for the router: this one and a network namespace joined
# by a veth pair; both run the programs of the same fresh root.
base=$(( ($$ % 16000) * 4 ))
host_address="10.254.$((base / 256 % 256)).$((base % 256 + 1))"
router_address="10.254.$((base / 256 % 256)).$((base % 256 + 2))"
ip netns add "$netns"
ip link add "h$netns" type veth peer name "n$netns"
ip link set "n$netns" netns "$netns"
ip addr add "$host_address/30" dev "h$netns"
ip link set "h$netns" up
ip -n "$netns" addr add "$router_address/30" dev "n$netns"
ip -n "$netns" link set "n$netns" up
ip -n "$netns" link set lo up

mkdir "$work/root"
cp -r "$source/tests/packaging/consumer" "$work/consumer"
cp "$source/tests/packaging/in-fresh-root.sh" "$work/in-fresh-root.sh"
# The mirror as this machine's apt knows it (man-db: systemd-analyze verify
# reads the units' man pages); the hooks run with /proc,
# /sys and /dev mounted in the new root.
mmdebstrap --variant=apt --include=ca-certificates,g++,make,cmake,pkg-config,systemd,iproute2,man-db \
  --customize-hook="mkdir \"\$1/pkg\" && cp -r $work/old $work/new $work/consumer \"\$1/pkg/\"" \
  --customize-hook="XTB_NETNS=$netns XTB_ROUTER=$router_address XTB_HOST=$host_address sh $work/in-fresh-root.sh \"\$1\"" \
  bookworm "$work/root" /etc/apt/sources.list.d/debian.sources
echo "the packages installed, upgraded and purged cleanly in a fresh Debian 12 root"
