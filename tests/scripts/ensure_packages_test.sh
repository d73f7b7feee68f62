#!/usr/bin/env bash
# Drives scripts/ensure-packages.sh against a stubbed apt-get, dpkg, dpkg-query,
# id and sudo: a mirror whose update fails, a wine32:i386 that cannot be
# installed, a required package that cannot, a user who installs through sudo.
# PATH holds the stubs and a few plain tools only, so no real package tool runs.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/ensure-packages.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stubs=$work/stubs tools=$work/tools
mkdir -p "$stubs" "$tools"
for tool in bash cat date env find grep head mkdir mktemp rm sed seq sleep sort stat tail touch tr; do
  ln -s "$(command -v "$tool")" "$tools/$tool"
done

# The stubs keep their state in $STUB_STATE: installed (packages installed by
# apt-get), architectures, updates (one line per update), calls (one per call).
stub() { cat >"$stubs/$1" && chmod +x "$stubs/$1"; }
stub id <<'EOF'
#!/usr/bin/env bash
[ "$1" = -u ] && echo "$STUB_UID"
EOF
# sudo passes on no environment but its own and PATH.
stub sudo <<'EOF'
#!/usr/bin/env bash
echo "sudo $*" >>"$STUB_STATE/calls"
vars=(PATH="$PATH" STUB_UID=0 STUB_STATE="$STUB_STATE" STUB_MISSING="$STUB_MISSING"
      STUB_UPDATE_FAILURES="$STUB_UPDATE_FAILURES" STUB_UNINSTALLABLE="$STUB_UNINSTALLABLE")
exec env -i "${vars[@]}" "$@"
EOF
stub dpkg-query <<'EOF'
#!/usr/bin/env bash
package=${*: -1} format=${2#-f=}
if [[ " $STUB_MISSING " == *" $package "* ]] && ! grep -qx -- "$package" "$STUB_STATE/installed"; then
  echo "dpkg-query: no packages found matching $package" >&2
  exit 1
fi
format=${format//'${Status}'/install ok installed}
printf '%s' "${format//'${db:Status-Status}'/installed}"
EOF
stub dpkg <<'EOF'
#!/usr/bin/env bash
case $1 in
  --print-foreign-architectures) cat "$STUB_STATE/architectures" ;;
  --add-architecture) [ "$STUB_UID" = 0 ] && echo "$2" >>"$STUB_STATE/architectures" ;;
esac
EOF
stub apt-get <<'EOF'
#!/usr/bin/env bash
echo "apt-get $* frontend=${DEBIAN_FRONTEND:-}" >>"$STUB_STATE/calls"
if [ "$STUB_UID" != 0 ]; then
  echo "E: Could not open lock file /var/lib/dpkg/lock-frontend - open (13: Permission denied)"
  exit 100
fi
packages=() command=""
while [ $# -gt 0 ]; do
  case $1 in
    -o) shift ;;
    -*) ;;
    update | install) command=$1 ;;
    *) packages+=("$1") ;;
  esac
  shift
done
if [ "$command" = update ]; then
  echo >>"$STUB_STATE/updates"
  if [ "$(grep -c '' "$STUB_STATE/updates")" -le "$STUB_UPDATE_FAILURES" ]; then
    echo "E: Failed to fetch http://mirror.test/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
  fi
  exit 0
fi
for p in "${packages[@]}"; do
  if [[ " $STUB_UNINSTALLABLE " == *" $p "* ]]; then
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
printf '%s\n' "${packages[@]}" >>"$STUB_STATE/installed"
EOF

# One run of the script; its output and exit status are left in $work/run.
run_script() {
  local uid=$1 missing=$2 failures=$3 uninstallable=$4 refused_ago=$5 path=$stubs:$tools
  rm -rf "$work/run" && mkdir -p "$work/run/state" "$work/run/cache/kellum-setup"
  touch "$work/run/state/"{installed,architectures,updates,calls}
  if [ "$refused_ago" != - ]; then
    echo "E: Unable to correct problems" >"$work/run/cache/kellum-setup/wine32-i386.refused"
    touch -d "-$refused_ago minutes" "$work/run/cache/kellum-setup/wine32-i386.refused"
  fi
  # A user whose machine has no sudo.
  if [ "$uid" = nosudo ]; then
    uid=1000 path=$work/run/bin:$tools
    mkdir "$work/run/bin"
    for tool in "$stubs"/*; do [ "${tool##*/}" = sudo ] || ln -s "$tool" "$work/run/bin/"; done
  fi
  env -i PATH="$path" XDG_CACHE_HOME="$work/run/cache" APT_RETRY_PAUSE=0 APT_UPDATE_TRIES=3 \
    STUB_STATE="$work/run/state" STUB_UID="$uid" STUB_MISSING="$missing" \
    STUB_UPDATE_FAILURES="$failures" STUB_UNINSTALLABLE="$uninstallable" \
    bash "$script" >"$work/run/output" 2>&1
  echo $? >"$work/run/status"
}

# Each expected text (a grep -E pattern; several split by ";") must be on
# exactly one line of the output; "-" for no output at all. "installed": what
# apt-get installed, in any order.
failures=0
check() {
  local name=$1 status=$2 updates=$3 says=$4 installed=$5 pattern count got
  local output=$work/run/output
  got=$(cat "$work/run/status")
  [ "$got" = "$status" ] || complain "$name" "exit status $got, not $status"
  got=$(grep -c '' "$work/run/state/updates")
  [ "$got" = "$updates" ] || complain "$name" "$got index updates, not $updates"
  if [ "$says" = - ]; then
    [ ! -s "$output" ] || complain "$name" "it wrote something"
  else
    IFS=';' read -ra patterns <<<"$says"
    for pattern in "${patterns[@]}"; do
      count=$(grep -cE -- "$pattern" "$output")
      [ "$count" = 1 ] || complain "$name" "$count lines match '$pattern'"
    done
  fi
  got=$(sort "$work/run/state/installed" | tr '\n' ' ')
  [ "$got" = "$(tr ' ' '\n' <<<"$installed" | grep . | sort | tr '\n' ' ')" ] ||
    complain "$name" "installed '$got', not '$installed'"
  if grep '^apt-get' "$work/run/state/calls" | grep -v 'frontend=noninteractive' | grep -q .; then
    complain "$name" "apt-get ran with a frontend that may ask questions"
  fi
}
complain() {
  echo "FAIL $1: $2"
  sed 's/^/    | /' "$work/run/output"
  failures=$((failures + 1))
}

# name | uid | missing | update failures | uninstallable | wine32 refused (minutes ago)
#      | exit status | index updates | says | installed
cases=$(cat <<'EOF'
everything present|0||0||-|0|0|-|
half-synced mirror, wine32 not installable|0|wine32:i386|9|wine32:i386|-|0|3|Not fetched: http://mirror.test/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz;^wine32:i386 cannot be installed now \(E: Unable to correct problems.*the x86_64 build\.$|
required ones install beside a refused wine32|0|cmake wine32:i386|9|wine32:i386|-|0|3|^Installing: cmake wine32:i386$;^wine32:i386 cannot be installed now|cmake
update fails twice, then the third one fetches all|0|cmake wine32:i386|2||-|0|3|^Installing: cmake wine32:i386$|cmake wine32:i386
a required package that cannot be installed stops|0|g++-mingw-w64-i686 wine32:i386|9|g++-mingw-w64-i686|-|1|3|^Cannot install g\+\+-mingw-w64-i686, which the build and the tests need:$;^E: Unable to correct problems|
a user installs through sudo|1000|cmake|0||-|0|1|^Installing: cmake$|cmake
a user without sudo is told to be root|nosudo|cmake|0||-|1|0|run this as root|
wine32 refused ten minutes ago: no second wait for the mirror|0|wine32:i386|9|wine32:i386|10|0|0|^wine32:i386 cannot be installed now \(E: Unable to correct problems; tried at|
wine32 refused seventy minutes ago is tried again|0|wine32:i386|0||70|0|1|^Installing: wine32:i386$|wine32:i386
EOF
)
while IFS='|' read -r name uid missing update_failures uninstallable refused status updates says installed; do
  run_script "$uid" "$missing" "${update_failures:-0}" "$uninstallable" "$refused"
  check "$name" "$status" "$updates" "$says" "$installed"
done <<<"$cases"

total=$(grep -c '' <<<"$cases")
echo "$((total - failures)) of $total cases passed"
[ "$failures" = 0 ]
