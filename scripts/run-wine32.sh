#!/bin/bash
# Runs one 32-bit Windows program under Wine on a machine whose kernel does
# not execute 32-bit code (used by CTest, like run-wine.sh):
#
#   scripts/run-wine32.sh PROGRAM [ARGUMENTS...]
#   scripts/run-wine32.sh --check     prints why this machine cannot, if so
#
# The program runs inside the tree of scripts/chroot32.sh, in a user, mount
# and pid namespace of its own: there a private binfmt_misc instance sends
# 32-bit ELF programs (the 32-bit half of Wine) to the tree's QEMU, /tmp is
# private (so its display and Wine server meet no other run's) and the work
# tree, with what is mounted in it, is seen at its own path, so that paths
# mean the same inside.  The host's binfmt_misc is never touched; nothing
# outlives the run.  The Wine prefix is PV_WINEPREFIX32 (default
# build/wineprefix32); runs that share one take turns.  Exits 77 (skipped)
# where the machine cannot do this.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TREE="${PV_CHROOT32:-$ROOT/build/chroot32}"
PREFIX="${PV_WINEPREFIX32:-$ROOT/build/wineprefix32}"
SKIPPED=77

# The kernel must give a user namespace its own binfmt_misc (Linux 6.7+).
machine_unable() {
  if ! unshare --user --map-root-user --mount true 2>/dev/null; then
    echo "this machine allows no user namespaces"
  elif ! unshare --user --map-root-user --mount \
      sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null; then
    echo "this kernel ($(uname -r)) has no private binfmt_misc (Linux 6.7 or newer needed)"
  fi
}

reason="$(machine_unable)"
if [ "${1:-}" = --check ]; then
  [ -z "$reason" ] || { echo "$reason"; exit $SKIPPED; }
  exit 0
fi
if [ -z "$reason" ] && [ ! -f "$TREE/.pv-ready" ]; then
  reason="the 32-bit Wine tree $TREE is not built (scripts/chroot32.sh; its first build needs the network)"
fi
[ -z "$reason" ] || { echo "32-bit run skipped: $reason"; exit $SKIPPED; }

# Each run has its own Wine server, so runs in one prefix must not overlap.
mkdir -p "$(dirname "$PREFIX")"
exec 9>"$PREFIX.lock"
flock 9

# QEMU's i386 ELF magic and mask (executables and position-independent ones);
# flag F opens the emulator now, so it serves inside the tree.
MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# The namespace's first process stays a shell that waits for its child: Xvfb
# does not signal a parent that is pid 1.
exec unshare --user --map-root-user --mount --pid --fork --kill-child \
  bash -uo pipefail -c '
  ROOT="$1" TREE="$2" PREFIX="$3" MAGIC="$4" MASK="$5"; shift 5
  set -e
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf "%s" ":pv-i386:M::$MAGIC:$MASK:$TREE/usr/bin/qemu-i386:F" > /proc/sys/fs/binfmt_misc/register
  mount -t tmpfs -o mode=1777 tmpfs "$TREE/tmp"
  mkdir -p "$TREE$ROOT"
  mount --rbind "$ROOT" "$TREE$ROOT"
  mount -t proc proc "$TREE/proc"
  mount --rbind /dev "$TREE/dev"
  mount --rbind /sys "$TREE/sys"
  set +e
  unset DISPLAY
  PV_WINEPREFIX="$PREFIX" chroot "$TREE" /bin/bash "$ROOT/scripts/run-wine.sh" "$@"
  exit $?
' pv-wine32 "$ROOT" "$TREE" "$PREFIX" "$MAGIC" "$MASK" "$@"
