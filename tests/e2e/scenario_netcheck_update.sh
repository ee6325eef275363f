#!/bin/bash
# The update check at startup against the maker's site and the probe's site on loopback (the test build's
# hosts): a newer build is announced in the caption, and a Ver.ini the user keeps in the run folder is left
# byte for byte as it was.
source "$(dirname "$0")/lib.sh"

SITE=$(mktemp -d /tmp/vantaro-site.XXXXXX)
SERVERS=()
trap 'for pid in "${SERVERS[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$SITE"; cleanup' EXIT
printf '[vantaro Tools]\r\n最新版本=1.0.2\r\n版本号=3\r\n' | iconv -f UTF-8 -t GBK > "$SITE/Ver.ini"
echo probe > "$SITE/index.html"
for port in 18461 18463; do   # Sites::Main and Sites::Probe of the test build
  python3 -m http.server --bind 127.0.0.1 --directory "$SITE" "$port" >/dev/null 2>"$SITE/$port.log" &
  SERVERS+=($!)
done
for port in 18461 18463; do
  wait_for 10 curl -sf -o /dev/null "http://127.0.0.1:$port/" || fail "the loopback site on $port did not start"
done
printf '[mine]\r\nkeep=these bytes\r\n' > "$RUN_DIR/Ver.ini"
cp "$RUN_DIR/Ver.ini" "$SITE/users-copy"

start_from_shell
window=$(main_window) || fail "the main window did not appear"
announced="vantaro Tools    v1.0.1    发现新版本：v1.0.2"
caption_announced() { [ "$(wt text "$window")" == "$announced" ]; }
wait_for 15 caption_announced || fail "caption after the check: [$(wt text "$window")]"
cmp -s "$RUN_DIR/Ver.ini" "$SITE/users-copy" || fail "the user's Ver.ini was changed"
import -window root "$ARTIFACTS/update-announced.png"

# The tray item "检查更新" against a version file that announces nothing: the caption stays as it is.
printf '[vantaro Tools]\r\n最新版本=1.0.1\r\n版本号=9\r\n' | iconv -f UTF-8 -t GBK > "$SITE/Ver.ini"
wt command "$window" 2013 >/dev/null
second_download() { [ "$(grep -c 'GET /Ver.ini' "$SITE/18461.log")" -ge 2 ]; }
wait_for 15 second_download || fail "the tray item did not check again"
sleep 1   # the worker compares and would post its caption at once
expect_eq "caption after a silent check" "$announced" "$(wt text "$window")"
wt find "#32770" "" >/dev/null && fail "the update check showed a message"
cmp -s "$RUN_DIR/Ver.ini" "$SITE/users-copy" || fail "the user's Ver.ini was changed"
echo "PASS [$SCENARIO]"
