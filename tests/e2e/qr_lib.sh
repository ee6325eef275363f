# Steps shared by the QR scanner scenarios; source after lib.sh.
QR_BUTTON=1014            # 按钮_二维码扫描
CAPTURE_CLASS=vantaroToolsCaptureWindow
SHARE_LINK="vantaro://MTkyLjAuMi4xOjgzODg6cGFzcw"   # 192.0.2.1 8388 pass
WM_KEYDOWN=0x100 WM_MOUSEMOVE=0x200 WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202 WM_CLOSE=0x10 MK_LBUTTON=1

# The library beside the program: the test build leaves it with the QR decoder's objects.
place_qr_library() {
  [ -f "$RUN_DIR/PsyQrDcd.dll" ] || cp "$VANTARO_BIN/../src/qr/PsyQrDcd.dll" "$RUN_DIR/"
}
# A QR code picture made by Debian's encoder (qrencode; python3-pil writes the BMP).
make_qr_picture() {  # out text
  /usr/bin/python3 "$VANTARO_SOURCE/tests/fixtures/qr/make_qr_fixture.py" bmp "$1" "$2" --scale 4
}
# Shows the picture on the screen at (x, y) until close_picture.
show_picture() {  # path x y
  (exec wine "$VANTARO_BIN/wintool.exe" show-bmp "$(winpath "$1")" "$2" "$3" >/dev/null 2>&1 </dev/null) &
  PIDS+=($!)
  wt wait wintoolPicture "" 10000 >/dev/null || fail "the QR code picture was not shown"
  sleep 0.5   # drawn before any screenshot
}
close_picture() {
  local picture; picture=$(wt find wintoolPicture "") || return 0
  wt post "$picture" $WM_CLOSE 0 0 >/dev/null
}
open_scanner() {  # main window -> capture window handle
  wt command "$1" $QR_BUTTON 0 >/dev/null
  wt wait $CAPTURE_CLASS "" 10000 || fail "the capture window did not open"
}
at() { echo $(( ($2 << 16) | $1 )); }   # MAKELPARAM(x, y)
press() { wt post "$1" $WM_LBUTTONDOWN $MK_LBUTTON "$(at "$2" "$3")" >/dev/null; }
move_to() { wt post "$1" $WM_MOUSEMOVE $MK_LBUTTON "$(at "$2" "$3")" >/dev/null; }
release() { wt post "$1" $WM_LBUTTONUP 0 "$(at "$2" "$3")" >/dev/null; }
capture_gone() { ! wine "$VANTARO_BIN/wintool.exe" find $CAPTURE_CLASS '' >/dev/null 2>&1; }
