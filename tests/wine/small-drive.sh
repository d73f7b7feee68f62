#!/usr/bin/env bash
# The small drive X: of the end-to-end tests: an 8 MB tmpfs mounted in the
# build tree and mapped into the Wine prefix, so that a full disk can be made
# on purpose. "mount" makes it fresh, "unmount" takes it away. Mounting needs
# root; without it the drive is left out and the tests that need it skip.
set -u
action=$1 prefix=$2 folder=$3
link="$prefix/dosdevices/x:"
case "$action" in
mount)
  mkdir -p "$folder" "$prefix/dosdevices"
  if ! mountpoint -q "$folder" && ! mount -t tmpfs -o size=8m tmpfs "$folder" 2>/dev/null; then
    echo "No small drive X: (mounting a tmpfs needs root); its tests skip."
    rm -f "$link"
    exit 0
  fi
  find "$folder" -mindepth 1 -delete
  ln -sfn "$folder" "$link"
  ;;
unmount)
  rm -f "$link"
  if mountpoint -q "$folder"; then umount "$folder"; fi
  ;;
esac
