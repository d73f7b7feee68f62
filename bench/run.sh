#!/usr/bin/env bash
# Measures what setup.exe costs and prints one table: among it the install of
# the demo disk, of a 200 MiB set and of 2,000 files of 4 KiB, each beside a
# plain copy loop of the same files. Run it after ./test.sh
# (it uses build/win, build/disk and the x86_64 test build build/win64 with its
# disk): bench/run.sh. Sizes are of the shipped i686 build; every timing runs
# the x86_64 build under Wine on a virtual 1024x738 screen, as this machine's
# Wine runs 64-bit programs only.
#
# Folders can be moved with BENCH_DIR (work and robot build, build/bench),
# BENCH_WIN64 (build/win64), BENCH_I686 (build/win), BENCH_DISK (build/disk)
# and WINEPREFIX (build/wineprefix). Run counts: BENCH_STARTUP_RUNS (151),
# BENCH_PAINT_RUNS (20), BENCH_INSTALL_RUNS (5), BENCH_ANSWER_RUNS (3); the
# install sets: BENCH_SETS (demo large many sealed).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bench=$(realpath -m "${BENCH_DIR:-build/bench}")
win64=$(realpath -m "${BENCH_WIN64:-build/win64}")
i686=$(realpath -m "${BENCH_I686:-build/win}")
disk=$(realpath -m "${BENCH_DISK:-build/disk}")
export WINEPREFIX=$(realpath -m "${WINEPREFIX:-build/wineprefix}")
startup_runs=${BENCH_STARTUP_RUNS:-151}
paint_runs=${BENCH_PAINT_RUNS:-20}
install_runs=${BENCH_INSTALL_RUNS:-5}
answer_runs=${BENCH_ANSWER_RUNS:-3}
# The install sets timed. A build that cannot install the 2,000-file set (the
# code before it overflowed its heap there) runs with BENCH_SETS="demo large".
install_sets=${BENCH_SETS:-demo large many sealed}
figures=$bench/figures.txt

# Wine maps / to Z:.
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# A failed robot run is counted in the figures (the table warns) and the
# benchmark goes on; its complaint is in robot.log.
robot() {
  "$root/tests/wine/run.sh" "$bench/bench_robot.exe" "$@" 2>>"$bench/robot.log" ||
    echo "robot_failures 1"
}

# One install by setup.exe and one plain copy of the same files, into fresh
# folders of the prefix's drive C. Written data is flushed before each timed
# copy so that neither pays for the other's write-back; the order alternates.
timed_setup() {
  sync
  robot install "$(windows_path "$1/setup.exe")" "C:\\bench\\setup-$2" |
    sed "s/^/${2}_setup /" >>"$figures"
}

timed_plain() {
  sync
  robot copy "$(windows_path "$1")" "C:\\bench\\plain-$2" | sed "s/^/${2}_plain /" >>"$figures"
}

install_round() {
  local label=$1 source=$2 run=$3 target="$WINEPREFIX/drive_c/bench"
  rm -rf "$target"
  mkdir -p "$target"
  if [ $((run % 2)) = 1 ]; then
    timed_setup "$source" "$label"
    timed_plain "$source" "$label"
  else
    timed_plain "$source" "$label"
    timed_setup "$source" "$label"
  fi
  local copied installed
  # An install that died made no folder: it counts 0 (and the robot's failure).
  copied=$({ find "$target/plain-$label" -type f 2>/dev/null || true; } | wc -l)
  installed=$({ find "$target/setup-$label" -type f 2>/dev/null || true; } | wc -l)
  echo "$label round $run: $installed files installed, $copied copied" >&2
  rm -rf "$target"
}

# The Wine part, run inside one Wine session on the virtual screen.
if [ "${1:-}" = --inside ]; then
  setup=$(windows_path "$win64/disk/setup.exe")
  echo "start-up, $startup_runs runs of each" >&2
  robot startup "$setup" "$startup_runs" >>"$figures"
  echo "paint, $paint_runs runs" >&2
  robot paint "$setup" "$paint_runs" >>"$figures"
  echo "pauses and message boxes" >&2
  for run in 1 2 3; do robot pauses >>"$figures"; done
  robot boxes >>"$figures"
  for run in $(seq "$install_runs"); do
    for set in $install_sets; do
      if [ "$set" = demo ]; then
        install_round demo "$win64/disk" "$run"
      else
        install_round "$set" "$bench/$set" "$run"
      fi
    done
  done
  echo "answers during an install with a 1 GiB file, $answer_runs runs" >&2
  for run in $(seq "$answer_runs"); do
    target="$WINEPREFIX/drive_c/bench"
    rm -rf "$target"
    mkdir -p "$target"
    sync
    robot answers "$(windows_path "$bench/huge/setup.exe")" 'C:\bench\answers' >>"$figures"
    rm -rf "$target"
  done
  exit 0
fi

for needed in "$i686/edition0/setup.exe" "$i686/edition1/setup.exe" "$disk/setup.exe" \
              "$win64/disk/setup.exe"; do
  [ -f "$needed" ] || { echo "missing $needed: run ./test.sh (or scripts/build.sh) first" >&2; exit 1; }
done
mkdir -p "$bench"
cmake -S bench -B "$bench" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$bench" >/dev/null
echo "making the large product set (200 MiB) and the set of 2,000 files of 4 KiB" >&2
python3 bench/make_large_set.py "$bench/large"
cp "$win64/disk/setup.exe" "$bench/large/setup.exe"
rm -rf "$bench/many"
python3 bench/make_large_set.py --many "$bench/many"
cp "$win64/disk/setup.exe" "$bench/many/setup.exe"
# The same set beside a sealed setup.exe (the files linked, not copied: both
# installs read the same cached bytes), whose install hashes every file.
rm -rf "$bench/sealed"
cp -al "$bench/large" "$bench/sealed"
rm "$bench/sealed/setup.exe"
cp "$win64/disk/setup.exe" "$bench/sealed/setup.exe"
scripts/seal.sh "$bench/sealed" >&2
# The demo disk with its last optional data file made 1 GiB (of zeros, not
# written here; the install writes them all).
rm -rf "$bench/huge"
cp -r "$win64/disk" "$bench/huge"
truncate -s 1G "$bench/huge/vstsampl.dat"
: >"$figures"
: >"$bench/robot.log"
xvfb-run -a -s "-screen 0 1024x738x24" scripts/wine-session.sh "$root/bench/run.sh" --inside

# The banner's own paint benchmark times the paints inside the process; its
# 1024x738 medians go into the table beside the robot's figures from outside.
if [ -f "$win64/bench/paint_bench.exe" ]; then
  echo "paint inside the process (bench/paint.sh)" >&2
  bench/paint.sh "$win64" | tee "$bench/paint.txt" |
    awk '/1024x738/ && /full repaint/ { print "inside_full_ms", $5 }
         /1024x738/ && /copy-back/ { print "inside_copyback_ms", $4 }' >>"$figures"
fi

# What a signature adds: a copy of the disk's setup.exe signed with a
# throw-away certificate (a vendor's chain and a time stamp add more).
signed=$bench/signed
rm -rf "$signed"
mkdir -p "$signed"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Benchmark" \
  -keyout "$signed/key.pem" -out "$signed/cert.pem" 2>/dev/null
cp "$disk/setup.exe" "$signed/setup.exe"
scripts/sign.sh --no-seal --cert "$signed/cert.pem" --key "$signed/key.pem" \
  --ca "$signed/cert.pem" "$signed/setup.exe" >&2

python3 bench/table.py "$figures" "$i686/edition0/setup.exe" "$i686/edition1/setup.exe" \
  "$disk/setup.exe" "$signed/setup.exe"
