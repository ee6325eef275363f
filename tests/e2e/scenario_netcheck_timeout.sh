#!/bin/bash
# The latency test against an address that does not answer: a network namespace of our own behind a veth pair,
# with echo replies turned off inside it. The Wine test pings that address from outside; the namespace's own
# ICMP counters show how many echo requests reached it. Then the first echo goes unanswered and replies are
# turned back on before the second: the second answer is reported.
source "$(dirname "$0")/lib.sh"

NS="vnt-silent-$$"
HOST_SIDE="vnth$$"
NS_SIDE="vntn$$"
ADDRESS=10.213.7.2
trap 'ip netns del "$NS" 2>/dev/null || true; cleanup' EXIT

ip netns add "$NS" || fail "cannot make a network namespace (root and CAP_NET_ADMIN needed)"
ip link add "$HOST_SIDE" type veth peer name "$NS_SIDE"
ip link set "$NS_SIDE" netns "$NS"
ip addr add 10.213.7.1/30 dev "$HOST_SIDE"
ip link set "$HOST_SIDE" up
ip netns exec "$NS" ip addr add "$ADDRESS/30" dev "$NS_SIDE"
ip netns exec "$NS" ip link set "$NS_SIDE" up
ip netns exec "$NS" ip link set lo up
echo_replies() { ip netns exec "$NS" sysctl -q -w net.ipv4.icmp_echo_ignore_all="$1"; }
echo_replies 1

# Echo requests (ICMP type 8) received inside the namespace; the column exists once one has arrived.
echo_requests() {
  ip netns exec "$NS" awk '/^IcmpMsg:/ { if (!names) { for (i = 2; i <= NF; i++) col[$i] = i; names = 1 }
                                          else { print (("InType8" in col) ? $col["InType8"] : 0) } }
                           END { if (!names) print 0 }' /proc/net/snmp
}

check_wine_test() {  # test name, its output file, its exit code
  tr -d '\r' < "$2" | grep -E '^\[ (stall|      OK|  FAILED|  SKIPPED) ' || true
  expect_eq "exit code of $1" 0 "$3"
  tr -d '\r' < "$2" | grep -q '^\[  PASSED  \] 1 test' || fail "$1 did not pass: $(cat "$2")"
  if grep -q 'SKIPPED' "$2"; then fail "$1 was skipped"; fi
}

# Both attempts unanswered: the time-out balloon, after exactly two echo requests.
before=$(echo_requests)
set +e
(cd "$VANTARO_BIN" && VANTARO_SILENT_ADDRESS=$ADDRESS wine win32_tests.exe \
  --gtest_filter='NetcheckLatency.SilentAddressTimesOutAfterTwoAttempts') > "$RUN_DIR/silent.log" 2>&1
code=$?
set -e
check_wine_test "the silent address" "$RUN_DIR/silent.log" "$code"
expect_eq "echo requests that reached the silent address" 2 "$(($(echo_requests) - before))"

# The first echo unanswered, the second answered: the first attempt waits 2 s, time enough to turn replies on
# once its request has arrived.
before=$(echo_requests)
(cd "$VANTARO_BIN" && exec env VANTARO_SECOND_CHANCE_ADDRESS=$ADDRESS wine win32_tests.exe \
  --gtest_filter='NetcheckLatency.AnsweredSecondAttemptIsASuccess') > "$RUN_DIR/second.log" 2>&1 &
tester=$!
PIDS+=("$tester")
first_request_arrived() { [ "$(echo_requests)" -gt "$before" ]; }
wait_for 20 first_request_arrived || fail "the first echo request never arrived"
echo_replies 0
set +e; wait "$tester"; code=$?; set -e
check_wine_test "the answered second attempt" "$RUN_DIR/second.log" "$code"
expect_eq "echo requests of the answered second attempt" 2 "$(($(echo_requests) - before))"
echo "PASS [$SCENARIO]"
