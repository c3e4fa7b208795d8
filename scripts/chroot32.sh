#!/bin/bash
# Builds the Debian 12 tree in which the 32-bit program runs under Wine on a
# machine that cannot execute 32-bit code itself:
#
#   scripts/chroot32.sh [folder, default build/chroot32]
#
# The tree holds Debian's Wine in its split form (wine64 and wine32:i386),
# Xvfb and QEMU's user-mode emulator from bookworm-backports, which runs the
# 32-bit half of Wine in software (scripts/run-wine32.sh sends 32-bit
# programs to it).  Quick when the tree is complete; a tree that lacks its
# ready mark or a part (an interrupted build) is removed and built anew.
# Runs as root; the first build downloads about 0.45 GB and takes 1-6 min.
set -euo pipefail
cd "$(dirname "$0")/.."
DIR="$(realpath -m "${1:-build/chroot32}")"
MIRROR="${PV_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
PACKAGES="wine wine64 wine32:i386 fonts-wine xvfb"
# Written last: its presence says the tree is complete for this package list.
MARK="$DIR/.pv-ready"
WANT="bookworm $PACKAGES qemu-user/bookworm-backports"

complete() {
  [ -f "$MARK" ] && [ "$(cat "$MARK")" = "$WANT" ] &&
    [ -x "$DIR/usr/bin/qemu-i386" ] && [ -x "$DIR/usr/lib/wine/wine" ] &&
    [ -x "$DIR/usr/lib/wine/wine64" ] && [ -x "$DIR/usr/bin/Xvfb" ]
}
# One build at a time (two test commands started together).
mkdir -p "$(dirname "$DIR")"
exec 8>"$DIR.lock"
flock 8
complete && exit 0

# Only ever removes a tree that nothing is mounted in: the build's own mounts
# live in a private mount namespace and end with it.
remove() { [ -e "$1" ] && rm -rf --one-file-system "$1"; return 0; }
remove "$DIR"
remove "$DIR.partial"
echo "chroot32: building the 32-bit Wine tree in $DIR (first time: about 0.45 GB, 1-6 min)"

unshare --mount --propagation private bash -euo pipefail -c '
  T="$1"; MIRROR="$2"; PACKAGES="$3"
  debootstrap --variant=minbase bookworm "$T" "$MIRROR" >"$T.log" 2>&1 ||
    { echo "chroot32: debootstrap failed (see $T.log)"; exit 1; }
  echo "deb $MIRROR bookworm-backports main" > "$T/etc/apt/sources.list.d/backports.list"
  # No services start inside the tree.
  printf "#!/bin/sh\nexit 101\n" > "$T/usr/sbin/policy-rc.d"
  chmod +x "$T/usr/sbin/policy-rc.d"
  mount -t proc proc "$T/proc"
  chroot "$T" /bin/sh -ec "
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $PACKAGES >/dev/null
    apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user >/dev/null
    apt-get clean
  " >>"$T.log" 2>&1 || { echo "chroot32: installing Wine and QEMU failed (see $T.log)"; exit 1; }
  umount "$T/proc"
' chroot32 "$DIR.partial" "$MIRROR" "$PACKAGES"

mv "$DIR.partial" "$DIR"
mv "$DIR.partial.log" "$DIR.log"
echo "$WANT" > "$MARK"
complete || { echo "chroot32: the tree in $DIR lacks a part after its build; see $DIR.log"; exit 1; }
echo "chroot32: ready"
