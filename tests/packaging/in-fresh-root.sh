#!/bin/sh
# usage: in-fresh-root.sh ROOT   (run by check-debian-packages.sh)
# Installs the packages in /pkg/old of the fresh root ROOT, uses them,
# upgrades to /pkg/new, then removes and purges them. XTB_NETNS names the
# router's network namespace, XTB_ROUTER and XTB_HOST its and this side's
# address.
set -eu
root=$1
# Programs of the root run with an environment of their own, not the caller's.
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
fail() { echo "in the fresh root: $*" >&2; exit 1; }
# Installs (or upgrades to) the four packages in /pkg/$1.
install_packages() {
  in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends /pkg/$1/libxtbasis1_*.deb \
    /pkg/$1/libxtbasis-dev_*.deb /pkg/$1/xtbasis-tools_*.deb /pkg/$1/xtmaild_*.deb >/dev/null"
}
# Every name in the root but the package manager's own books, caches and logs.
names() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp -o -path /pkg \
    -o -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/cache -o -path /var/log -o -path /root -o -path /home \) -prune \
    -o -print | sort
}

in_root apt-get update -q >/dev/null
in_root useradd -m practice
names >"$root/pkg/before"
install_packages old

# What the packages made: the machine hive's folder, the mail folder, the
# router's units enabled.
[ "$(in_root stat -c '%U:%G %a' /var/lib/xtbasis)" = "root:root 755" ] || fail "/var/lib/xtbasis is wrong"
[ "$(in_root stat -c '%U:%G %a' /tmp/.xtbasis-mail)" = "root:root 1777" ] || fail "no mail folder"
[ -L "$root/etc/systemd/system/sockets.target.wants/xtmaild.socket" ] || fail "xtmaild.socket not enabled"
[ -L "$root/etc/systemd/system/multi-user.target.wants/xtmaild.service" ] || fail "xtmaild.service not enabled"
units() {
  in_root systemd-analyze verify /lib/systemd/system/xtmaild.socket /lib/systemd/system/xtmaild.service
  in_root systemd-analyze security --offline=yes /lib/systemd/system/xtmaild.service | tail -n 1
}
units
for page in man1/xtbasis.1 man8/xtmaild.8 man5/xtmaild.conf.5; do
  [ -f "$root/usr/share/man/$page.gz" ] || fail "$page missing"
done

# The tour as an ordinary account.
in_root runuser -u practice -- env -i PATH=/usr/bin:/bin HOME=/home/practice xtbasis demo >"$root/pkg/demo"
grep -q '^== Tooth list' "$root/pkg/demo" || fail "xtbasis demo did not run"

# Programs built against libxtbasis-dev.
in_root sh -ec 'cd /pkg && c++ -o hello consumer/main.cpp $(pkg-config --cflags --libs xtbasis) && ./hello'
in_root sh -ec 'cmake -S /pkg/consumer -B /pkg/cmake-consumer >/dev/null && cmake --build /pkg/cmake-consumer >/dev/null &&
  /pkg/cmake-consumer/hello'

# A mail crosses the installed router from this side to the other computer.
cat >"$root/pkg/router.conf" <<CONF
listen = $XTB_ROUTER
allow = $XTB_HOST
log_dir = /pkg/router-log
trace_level = 3
CONF
mkdir "$root/pkg/router-log"
ip netns exec "$XTB_NETNS" chroot "$root" /usr/sbin/xtmaild --foreground --config /pkg/router.conf >"$root/pkg/router.out" &
router=$!
in_root timeout 20 xtbasis mail listen PKGTEST --count 1 >"$root/pkg/received" 2>/dev/null &
listener=$!
sleep 1
in_root xtbasis mail send "$XTB_ROUTER" PKGTEST USER "over the router"
wait "$listener" || fail "no mail arrived"
kill "$router"
wait "$router" || true
grep -q 'over the router' "$root/pkg/received" || fail "the mail arrived wrong: $(cat "$root/pkg/received")"

# An upgrade keeps the machine hive and the administrator's configuration.
in_root xtbasis reg set 'HKLM\SOFTWARE\Vantorix\PackageTest' Kept "from the old version"
sed -i 's/^trace_level = 2$/trace_level = 3/' "$root/etc/xtbasis/xtmaild.conf"
install_packages new
new_version=$(dpkg-deb -f "$(ls "$root"/pkg/new/libxtbasis1_*.deb)" Version)
[ "$(in_root dpkg-query -W -f='${Version}' libxtbasis1)" = "$new_version" ] || fail "no upgrade"
in_root xtbasis reg get 'HKLM\SOFTWARE\Vantorix\PackageTest' Kept | grep -q 'from the old version' ||
  fail "the machine hive lost its value in the upgrade"
grep -q '^trace_level = 3$' "$root/etc/xtbasis/xtmaild.conf" || fail "the upgrade lost the configuration"
units

# Removal keeps configuration and data; a purge takes them.
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q libxtbasis1 libxtbasis-dev xtbasis-tools xtmaild \
  >/dev/null
[ -f "$root/var/lib/xtbasis/machine.db" ] || fail "removal took the machine hive"
[ -f "$root/etc/xtbasis/xtmaild.conf" ] || fail "removal took the configuration"
in_root dpkg --purge libxtbasis1 libxtbasis-dev xtbasis-tools xtmaild >/dev/null 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -q >/dev/null
names >"$root/pkg/after"
diff "$root/pkg/before" "$root/pkg/after" || fail "the purge left the names above"
