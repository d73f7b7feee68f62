#!/usr/bin/env bash
# The small drive X: of the end-to-end tests: an 8 MB tmpfs mounted in the
# build tree and mapped into the Wine prefix, so that a full disk can be made
# on purpose. "mount" makes it fresh, "unmount" takes it away. Mounting needs
# root; without it the drive is left out and the tests that need it skip.
# Under test.sh's lanes (SETUP_LANES) every lane's prefix gets the drive too,
# as the test that uses it may run on any of them.
set -u
action=$1 prefix=$2 folder=$3
prefixes=("$prefix")
if [ -n "${SETUP_LANES:-}" ]; then
  for lane in "$SETUP_LANES"/*/prefix; do [ -d "$lane" ] && prefixes+=("$lane"); done
fi
case "$action" in
mount)
  for p in "${prefixes[@]}"; do mkdir -p "$p/dosdevices"; done
  mkdir -p "$folder"
  if ! mountpoint -q "$folder" && ! mount -t tmpfs -o size=8m tmpfs "$folder" 2>/dev/null; then
    echo "No small drive X: (mounting a tmpfs needs root); its tests skip."
    for p in "${prefixes[@]}"; do rm -f "$p/dosdevices/x:"; done
    exit 0
  fi
  find "$folder" -mindepth 1 -delete
  for p in "${prefixes[@]}"; do ln -sfn "$folder" "$p/dosdevices/x:"; done
  ;;
unmount)
  for p in "${prefixes[@]}"; do rm -f "$p/dosdevices/x:"; done
  if mountpoint -q "$folder"; then umount "$folder"; fi
  ;;
esac
