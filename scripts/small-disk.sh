#!/bin/bash
# A 256 KB filesystem for the full-disk case of the log-fault scenario test.
#   small-disk.sh mount DIR    mounts a fresh tmpfs on DIR and marks it with
#                              DIR/.small-disk, when this machine allows it
#                              (root, mounts permitted); otherwise DIR stays an
#                              ordinary folder without the mark and the test
#                              skips, saying why.
#   small-disk.sh unmount DIR  unmounts it again.
# Never fails: a machine without mounts still passes the test command.
set -u
dir="$2"
case "$1" in
  mount)
    mkdir -p "$dir"
    if mountpoint -q "$dir"; then umount "$dir" 2>/dev/null; fi
    if mount -t tmpfs -o size=256k,mode=0777 pv-small-disk "$dir" 2>/dev/null; then
      touch "$dir/.small-disk"
      echo "small disk mounted on $dir"
    else
      echo "no small disk: a tmpfs cannot be mounted here (needs root); the full-disk case skips"
    fi
    ;;
  unmount)
    if mountpoint -q "$dir"; then umount "$dir"; fi
    ;;
esac
exit 0
