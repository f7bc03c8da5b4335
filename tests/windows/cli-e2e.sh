#!/usr/bin/env bash
# kelmor-cli.exe under Wine against a simulated unit on a real tty: the
# native "kelmor-cli sim --link" runs the unit on a pseudo-terminal, and the
# Wine prefix's dosdevices link com5 points COM5 at it. Every command runs
# twice, natively on the link and through Wine on COM5, and must end with the
# same exit status and message.
#
#   cli-e2e.sh CASE
# Environment: KELMOR_CLI (native), KELMOR_CLI_EXE (Windows), KELMOR_SAMPLE
# (an .ign file), WINEPREFIX (a throwaway prefix with its wineserver running).
set -uo pipefail
case_name=${1:?usage: cli-e2e.sh CASE}
: "${KELMOR_CLI:?}" "${KELMOR_CLI_EXE:?}" "${KELMOR_SAMPLE:?}"
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/dosdevices" ]; then
  echo "WINEPREFIX must name a prepared throwaway prefix (scripts/test-windows makes one)" >&2
  exit 1
fi
export WINEDEBUG=-all

work=$(mktemp -d /tmp/kelmor-wine-e2e-XXXXXX)
sim_pid=
failures=0
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -f "$WINEPREFIX/dosdevices/com5"
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Starts the simulated unit with the given options and maps COM5 to it.
start_sim() {
  "$KELMOR_CLI" sim --link "$work/kx" "$@" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
  done
  local pts
  pts=$(head -n1 "$work/sim.out")
  [ -c "$pts" ] || { echo "no simulated unit: $(cat "$work/sim.err")" >&2; exit 1; }
  ln -sfn "$pts" "$WINEPREFIX/dosdevices/com5"
}

# run NAME ARGS...: the native tool on the link; "{port}" becomes the port.
# Leaves status, standard output and error in $work/NAME.{status,out,err}.
native() {
  local name=$1; shift
  local args=("${@//\{port\}/$work/kx}")
  "$KELMOR_CLI" "${args[@]}" >"$work/$name.out" 2>"$work/$name.err" </dev/null
  echo $? >"$work/$name.status"
}
windows() {
  local name=$1; shift
  local args=("${@//\{port\}/COM5}")
  wine "$KELMOR_CLI_EXE" "${args[@]}" >"$work/$name.out" 2>"$work/$name.err" </dev/null
  echo $? >"$work/$name.status"
}

# both NAME STATUS MESSAGE ARGS...: runs the command both ways; both must end
# with STATUS and have MESSAGE as a line of their standard error.
both() {
  local name=$1 status=$2 message=$3; shift 3
  native "$name-linux" "$@"
  windows "$name-windows" "$@"
  for side in linux windows; do
    local got
    got=$(cat "$work/$name-$side.status")
    [ "$got" = "$status" ] || fail "$name on $side: status $got, expected $status; $(cat "$work/$name-$side.err")"
    if [ -n "$message" ] && ! grep -qxF -- "$message" "$work/$name-$side.err"; then
      fail "$name on $side: no line '$message' in: $(cat "$work/$name-$side.err")"
    fi
  done
}

same_file() {
  cmp -s "$1" "$2" || fail "$3: $1 and $2 differ"
}

case "$case_name" in
program-read-verify)
  start_sim
  both before 0 "Verify: OK" read --port "{port}" -o "$work/before.ign"
  both program 0 "Programing: OK" program --port "{port}" "$KELMOR_SAMPLE"
  # Read back into a file and onto standard output: the same bytes both
  # ways and on both systems (a text-mode stdout would double every CR).
  both back 0 "Verify: OK" read --port "{port}" -o "$work/back.ign"
  native stdout-linux read --port "{port}"
  windows stdout-windows read --port "{port}"
  same_file "$work/back.ign" "$work/stdout-windows.out" "read to standard output"
  same_file "$work/stdout-linux.out" "$work/stdout-windows.out" "read on both systems"
  cmp -s "$work/before.ign" "$work/back.ign" && fail "the program did not change the unit"
  both verify 0 "Verify: OK" verify --port "{port}" "$KELMOR_SAMPLE"
  both verify-other 1 "Verify error!" verify --port "{port}" "$work/before.ign"
  ;;
monitor)
  start_sim --rpm 3000 --voltage 12.5
  both monitor 0 "" monitor --port "{port}" --count 3 --csv
  for side in linux windows; do
    lines=$(grep -c ',3000,.*,12.500,' "$work/monitor-$side.out")
    [ "$lines" = 3 ] || fail "monitor on $side: $lines frames of 3: $(cat "$work/monitor-$side.out")"
    grep -q $'\r\r' "$work/monitor-$side.out" && fail "monitor on $side: doubled CR"
  done
  same_file <(head -n1 "$work/monitor-linux.out") <(head -n1 "$work/monitor-windows.out") "CSV header"
  ;;
no-answer)
  start_sim --dead
  both read 1 "Read error!" read --port "{port}"
  both program 1 "Read error!" program --port "{port}" "$KELMOR_SAMPLE"
  both monitor 1 "No connection with PC" monitor --port "{port}" --count 3
  ;;
version-66)
  start_sim --version 66
  both read 3 "Unmatched version of PC and Ignition programs!  PC-67, IGN-66" read --port "{port}"
  both program 3 "Unmatched version of PC and Ignition programs!  PC-67, IGN-66" \
    program --port "{port}" "$KELMOR_SAMPLE"
  ;;
read-protected)
  start_sim --read-protected
  both read 1 "No reading!" read --port "{port}"
  ;;
stops-answering)
  # The unit goes away in the middle of a watch: the tool says so and ends.
  start_sim
  windows watch monitor --port COM5 --count 100000 &
  watch_pid=$!
  sleep 2
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null; sim_pid=
  wait "$watch_pid"
  [ "$(cat "$work/watch.status")" = 1 ] || fail "watch: status $(cat "$work/watch.status")"
  grep -qxF "No connection with PC" "$work/watch.err" || fail "watch: $(cat "$work/watch.err")"
  grep -q '^time_ms=' "$work/watch.out" || fail "watch: no frame before the unit went"
  ;;
no-port)
  # COM9 is mapped nowhere in the prefix.
  windows none read --port COM9
  [ "$(cat "$work/none.status")" = 2 ] || fail "COM9: status $(cat "$work/none.status")"
  grep -qxF "Com opening error!" "$work/none.err" || fail "COM9: $(cat "$work/none.err")"
  # Beneath it, as in the window's box: the port and why.
  grep -q '^COM9: ' "$work/none.err" || fail "COM9: no reason given"
  windows sim sim --link "$work/kx"
  [ "$(cat "$work/sim.status")" = 2 ] || fail "sim --link: status $(cat "$work/sim.status")"
  grep -q 'pseudo-terminal' "$work/sim.err" || fail "sim --link: $(cat "$work/sim.err")"
  windows inproc read --port sim
  [ "$(cat "$work/inproc.status")" = 0 ] || fail "--port sim: $(cat "$work/inproc.err")"
  ;;
non-ascii-path)
  # A name outside ASCII on the command line reaches the file system intact.
  start_sim
  name="$work/Dvořák – Čermák.ign"
  windows save read --port COM5 -o "$name"
  [ "$(cat "$work/save.status")" = 0 ] || fail "save: $(cat "$work/save.err")"
  [ -f "$name" ] || fail "no file '$name': $(ls "$work")"
  windows check verify --port COM5 "$name"
  [ "$(cat "$work/check.status")" = 0 ] || fail "verify: $(cat "$work/check.err")"
  ;;
*)
  echo "no case $case_name" >&2
  exit 2
  ;;
esac

[ "$failures" = 0 ] && echo "$case_name: passed"
exit $((failures > 0))
