#!/usr/bin/env bash
# Tests the GUI driver against the stand-in dialog, each command through run-in-prefix as GUI
# tests use it: driver_test.sh gui_driver.exe gui_stand_in.exe. Exits 1 if a check fails.
set -euo pipefail

if (($# != 2)); then
  echo "usage: driver_test.sh gui_driver.exe gui_stand_in.exe" >&2
  exit 2
fi
if [[ -z "${DISPLAY:-}" ]]; then
  # 24-bit, so captured colours are exact.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$@"
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
run="$here/run-in-prefix"
stand_in="$(realpath "$2")"
dir="$("$run" new --driver "$(realpath "$1")")"
trap '"$run" clean "$dir"' EXIT

readonly title="Driver stand-in"
failures=0

now_ms() { echo $(($(date +%s%N) / 1000000)); }

drive() { "$run" driver "$dir" "$@"; }

# report NAME START PASSED FAILURE: the check's line, with the command's stderr under a failure.
report() {
  local name="$1" start="$2" passed="$3" failure="$4"
  if ((passed)); then
    echo "ok   $name ($(($(now_ms) - start)) ms)"
  else
    echo "FAIL $name: $failure"
    sed 's/^/     /' "$dir/stderr"
    failures=$((failures + 1))
  fi
}

# check NAME EXPECTED_OUTPUT COMMAND...: the command succeeds and prints exactly that.
check() {
  local name="$1" expected="$2"
  shift 2
  local start output status=0 passed=0
  start="$(now_ms)"
  output="$("$@" 2>"$dir/stderr")" || status=$?
  ((status != 0)) || [[ "$output" != "$expected" ]] || passed=1
  report "$name" "$start" "$passed" \
    "exit $status, printed '$output', expected '$expected'"
}

# check_like NAME REGEX COMMAND...: the command succeeds and prints a line matching REGEX.
check_like() {
  local name="$1" regex="$2"
  shift 2
  local start output status=0 passed=0
  start="$(now_ms)"
  output="$("$@" 2>"$dir/stderr")" || status=$?
  ((status != 0)) || [[ ! "$output" =~ $regex ]] || passed=1
  report "$name" "$start" "$passed" \
    "exit $status, printed '$output', expected a match of '$regex'"
}

# check_fails NAME EXIT_CODE STDERR_PATTERN COMMAND...: the command fails as a caller needs
# to see it fail: that exit code, and a message that says why.
check_fails() {
  local name="$1" expected_status="$2" pattern="$3"
  shift 3
  local start output status=0 passed=0
  start="$(now_ms)"
  output="$("$@" 2>"$dir/stderr")" || status=$?
  ((status != expected_status)) || ! grep -q -- "$pattern" "$dir/stderr" || passed=1
  report "$name" "$start" "$passed" \
    "exit $status (expected $expected_status), printed '$output', stderr not matching '$pattern':"
}

# The pixel at X,Y of a PNG as ImageMagick names it, e.g. srgb(200,30,30).
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

started="$(now_ms)"

# Arguments a caller got wrong are reported as such, before any window is looked for.
check_fails "usage: unknown button" 2 "IDMAYBE" drive answer-box "Any" IDMAYBE
check_fails "usage: message not a number" 2 "WM_FOO" drive post "$title" WM_FOO 0 0
check_fails "usage: wrong argument count" 2 "usage" drive click "$title"

"$run" start "$dir" stand_in "$stand_in"
check_like "window appears" "^0x[0-9a-f]+$" drive wait-window "$title"
check "window is on screen" "1" drive window-visible "$title"
check_fails "missing window: fails in time, lists the windows" 1 "\"$title\"" \
  drive --timeout 300 wait-window "No such window"

check "text of a control" "Ready" drive text "$title" 1016
check "hidden control" "0" drive visible "$title" 1010
check_fails "missing control" 1 "has no control 4242" drive --timeout 300 text "$title" 4242

# The stand-in counts clicks: one click must arrive exactly once.
check "click reaches the button" "clicked" drive click "$title" 1001
check "wait-text sees the click" "Clicked 1" drive wait-text "$title" 1016 "Clicked"
check "click shows the hidden control" "1" drive visible "$title" 1010
drive click "$title" 1001 >/dev/null
check "second click counts once" "Clicked 2" drive wait-text "$title" 1016 "2"
check_fails "disabled button is not clicked" 1 "disabled" drive --timeout 300 click "$title" 1015
check_fails "wait-text gives up with the text it saw" 1 "Clicked 2" \
  drive --timeout 300 wait-text "$title" 1016 "never"

# A box with a caption of its own.
drive click "$title" 1030 >/dev/null
check "message box text" 'Saved in C:\Stand-in' drive wait-box "Stand-in notice"
check_fails "answer with a button the box lacks" 1 "has no IDYES button; it has: IDOK" \
  drive answer-box "Stand-in notice" IDYES
check_fails "press a button the dialog lacks" 1 "has no IDCANCEL button; it has: IDOK" \
  drive press "Stand-in notice" IDCANCEL
check "answer the box" "answered IDOK" drive answer-box "Stand-in notice" IDOK
check "program got the answer" "Notice closed" drive wait-text "$title" 1016 "Notice"

# Two questions in a row captioned like the window itself, whose plain static has the id of a
# box's text.
check_fails "the window is not taken for a box" 1 "no message box" \
  drive --timeout 300 wait-box "$title"
drive click "$title" 1002 >/dev/null
check "first question" "Keep the part file?" drive wait-box "$title"
check "window, not box, under the same title" "Notice closed" drive text "$title" 1016
check "capture the window, not the box" "300x180" drive capture "$title" "$dir/modal.bmp"
check_fails "no click through a modal box" 1 "window is disabled" \
  drive --timeout 300 click "$title" 1001
check "answer yes" "answered IDYES" drive answer-box "$title" IDYES
check "second question, not the first again" "Really keep it?" drive wait-box "$title"
check "answer no" "answered IDNO" drive answer-box "$title" IDNO
check "program got both answers" "Answers: Yes, No" drive wait-text "$title" 1016 "Answers"

# The stand-in is 300 x 180 pixels, blue with a red band along the top.
check "capture" "300x180" drive capture "$title" "$dir/shot.bmp"
if convert "$dir/shot.bmp" "$dir/shot.png" 2>"$dir/stderr"; then
  check "captured image size" "300x180" identify -format "%wx%h" "$dir/shot.png"
  check "captured top is the band" "srgb(200,30,30)" pixel "$dir/shot.png" 3 3
  check "captured bottom is the background" "srgb(32,96,160)" pixel "$dir/shot.png" 296 176
else
  echo "FAIL captured file is not an image:"
  sed 's/^/     /' "$dir/stderr"
  failures=$((failures + 1))
fi

# Another program's tips may show meanwhile (the suites share a display): none may name the
# stand-in.
check_fails "no icon, no tray tip" 1 'no tool tip holds "Stand-in"' \
  drive --timeout 300 wait-tray-tip "Stand-in"

# Hidden like the real window in the notification area, back by the icon's callback message.
drive click "$title" 1028 >/dev/null
check "hide" "Hidden" drive wait-text "$title" 1016 "Hidden"
check "hidden window is not visible" "0" drive window-visible "$title"
check_fails "hidden window is not captured" 1 "hidden" \
  drive --timeout 300 capture "$title" "$dir/hidden.bmp"
check_fails "no click in a hidden window" 1 "hidden" drive --timeout 300 click "$title" 1001
check "post to the window" "posted" drive post "$title" 0x40A 128 0x202
check "posted message arrived" "Tray 128 0x202" drive wait-text "$title" 1016 "Tray"
check "shown again" "1" drive window-visible "$title"

drive click "$title" 1029 >/dev/null
check "minimise" "Minimised" drive wait-text "$title" 1016 "Minimised"
check "minimised window is not visible" "0" drive window-visible "$title"
drive post "$title" 1034 0 514 >/dev/null
check "restored" "Tray 0 0x202" drive wait-text "$title" 1016 "Tray 0"
check "restored window is visible" "1" drive window-visible "$title"

check "close" "posted" drive close "$title"
check "window goes" "gone" drive wait-gone "$title"
check "program ends with its close code" "7" "$run" wait "$dir" stand_in 10

echo "$failures failed; $(($(now_ms) - started)) ms in all"
((failures == 0))
