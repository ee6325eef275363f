#!/bin/bash
# An engine that dies at once: the start fails and its message stays in the log. Then, started by another program,
# the engine starts at once with the window hidden, and exit ends the engine and its interpreter.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/engine_lib.sh"

interpreters_before=$(processes cmd.exe)

# The stand-in refuses a port it cannot use and exits at once.
write_engine_config_ini 99999
start_from_shell
window=$(main_window) || fail "the main window did not appear"
wait_for 5 wt visible "$window" || fail "started from the shell, the window should be visible"
wt command "$window" "$START_BUTTON" 0 >/dev/null
wait_for 10 log_has "$window" "有误" || fail "the engine's message should be in the log; it shows [$(log_text "$window")]"
sleep 1   # past the start's wait
stopped "$window" || fail "a failed start stays in the stopped state"
expect_eq "engine processes after a failed start" 0 "$(processes vantaro-local.exe)"
log=$(log_text "$window")
[[ "$log" == *"vantaro-local：配置文件"* ]] || fail "the log should name the configuration file: [$log]"
exit_program || fail "the tray item 退出 did not end the program"
wait_for 10 process_count_is cmd.exe "$interpreters_before" || fail "exit should end the failed start's interpreter too"

PORT=$(free_port)
write_engine_config_ini "$PORT"
start_web_server
start_directly
window=$(main_window) || fail "the main window was not created"
wait_for 15 running "$window" || fail "started by another program, the engine should start at once"
wt visible "$window" && fail "started by another program, the window should stay hidden"
expect_eq "engine processes" 1 "$(processes vantaro-local.exe)"
wait_for 10 port_open "$PORT" || fail "the engine does not listen on $PORT"
expect_eq "fetched through SOCKS5" "hello through the engine" \
  "$(curl -sS --max-time 10 --socks5-hostname "127.0.0.1:$PORT" "http://127.0.0.1:$WEB_PORT/hello.txt")"

exit_program || fail "the tray item 退出 did not end the program"
wait_for 10 process_count_is vantaro-local.exe 0 || fail "exit should end the engine"
wait_for 10 process_count_is cmd.exe "$interpreters_before" || fail "exit should end the engine's interpreter"
wait_for 10 port_closed "$PORT" || fail "the engine's port is still open after exit"
echo "PASS [$SCENARIO]"
