#!/bin/bash
# The latency test against an address that never answers: a network namespace of our own behind a veth pair,
# with echo replies turned off inside it. The Wine test pings that address from outside; the namespace's own
# ICMP counters show how many echo requests reached it.
source "$(dirname "$0")/lib.sh"

NS="vnt-silent-$$"
HOST_SIDE="vnth$$"
NS_SIDE="vntn$$"
SILENT=10.213.7.2
trap 'ip netns del "$NS" 2>/dev/null || true; cleanup' EXIT

ip netns add "$NS" || fail "cannot make a network namespace (root and CAP_NET_ADMIN needed)"
ip link add "$HOST_SIDE" type veth peer name "$NS_SIDE"
ip link set "$NS_SIDE" netns "$NS"
ip addr add 10.213.7.1/30 dev "$HOST_SIDE"
ip link set "$HOST_SIDE" up
ip netns exec "$NS" ip addr add "$SILENT/30" dev "$NS_SIDE"
ip netns exec "$NS" ip link set "$NS_SIDE" up
ip netns exec "$NS" ip link set lo up
ip netns exec "$NS" sysctl -q -w net.ipv4.icmp_echo_ignore_all=1

# Echo requests (ICMP type 8) received inside the namespace; the column exists once one has arrived.
echo_requests() {
  ip netns exec "$NS" awk '/^IcmpMsg:/ { if (!names) { for (i = 2; i <= NF; i++) col[$i] = i; names = 1 }
                                          else { print (("InType8" in col) ? $col["InType8"] : 0) } }
                           END { if (!names) print 0 }' /proc/net/snmp
}

before=$(echo_requests)
set +e
output=$(cd "$VANTARO_BIN" && VANTARO_SILENT_ADDRESS=$SILENT wine win32_tests.exe \
  --gtest_filter='NetcheckLatency.SilentAddressTimesOutAfterTwoAttempts' 2>&1 | tr -d '\r')
code=$?
set -e
echo "$output" | grep -E '^\[ (stall|      OK|  FAILED|  SKIPPED) ' || true
expect_eq "exit code of the Wine test" 0 "$code"
echo "$output" | grep -q '^\[  PASSED  \] 1 test' || fail "the Wine test did not pass: $output"
echo "$output" | grep -q 'SKIPPED' && fail "the Wine test was skipped"
after=$(echo_requests)
expect_eq "echo requests that reached the silent address" 2 "$((after - before))"
echo "PASS [$SCENARIO]"
