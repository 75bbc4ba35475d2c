#!/usr/bin/env bash
# Drives the program through its window against a local vsftpd, as a user would: the first
# start, a whole download, pause and resume, the exit questions, the notification area,
# choosing the folder, and a server that comes late (with a damaged file first).
#
#   app_test.sh gui_driver.exe program.exe checked_program.exe full_pace_program.exe SHA256 PORT
#               [CASE...]
#
# The programs must have been built for 127.0.0.1:PORT, the checked one with the expected hash
# SHA256 of ftp_servers.py's --seeded file of 1 MiB, the full-pace one with 15 segments a pass. Each case runs in a process of its own
# with its own prefix, home and server, so one failure does not spoil the next case; CASE names
# a subset (first_start, download, pause, exit, tray, browse, late_server, world_folders,
# planted). Screenshots go to
# $GUI_TEST_OUT (default: the current folder). Exits 1 if a case failed.
set -euo pipefail

if [[ "${1:-}" == --case ]]; then
  in_case=1
  shift
  case_name="$1"
  shift
else
  in_case=0
fi
if (($# < 6)); then
  echo "usage: app_test.sh gui_driver.exe program.exe checked_program.exe full_pace_program.exe" \
    "SHA256 PORT [CASE...]" >&2
  exit 2
fi
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$@"
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
run="$here/run-in-prefix"
driver_exe="$(realpath "$1")"
program="$(realpath "$2")"
checked_program="$(realpath "$3")"
full_pace_program="$(realpath "$4")"
checked_sha256="$5"
port="$6"
shift 6

readonly title="MoraventDL_Vellomarch"
readonly installer="Setup_Vellomarch_1.11.exe"
readonly served="manual/vm/Clients/$installer"
readonly MiB=$((1024 * 1024))

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ---------------------------------------------------------------------------------------------
# The parent: one child process per case.
if ((in_case == 0)); then
  cases=("$@")
  ((${#cases[@]} > 0)) ||
    cases=(first_start download pause exit tray browse late_server world_folders planted)
  failed=()
  started="$(now_ms)"
  for name in "${cases[@]}"; do
    case_start="$(now_ms)"
    status=0
    bash "${BASH_SOURCE[0]}" --case "$name" "$driver_exe" "$program" "$checked_program" \
      "$full_pace_program" "$checked_sha256" "$port" || status=$?
    if ((status == 0)); then
      echo "ok   $name ($(($(now_ms) - case_start)) ms)"
    else
      echo "FAIL $name ($(($(now_ms) - case_start)) ms)"
      failed+=("$name")
    fi
  done
  echo "${#failed[@]} of ${#cases[@]} cases failed${failed:+: ${failed[*]}};" \
    "$(($(now_ms) - started)) ms in all"
  ((${#failed[@]} == 0))
  exit
fi

# ---------------------------------------------------------------------------------------------
# One case.

# shellcheck source=scripts/lib.sh
source "$here/../../scripts/lib.sh"
# shellcheck source=tests/gui/skin_checks.sh
source "$here/skin_checks.sh"

dir=""
cleanup() {
  local status=$?
  if ((status != 0)) && [[ -n "$dir" && -d "$dir/log" ]]; then
    local log
    for log in "$dir"/log/*.err; do
      [[ -s "$log" ]] || continue
      echo "     --- ${log##*/} (last lines)"
      tail -n 5 "$log" | sed 's/^/     /'
    done
    # What the window looked like at each check, to see why it failed.
    local shot
    for shot in "$dir"/*.bmp; do
      [[ -e "$shot" ]] || continue
      mkdir -p "${GUI_TEST_OUT:-$PWD}"
      convert "$shot" "${GUI_TEST_OUT:-$PWD}/failed_${case_name}_$(basename "${shot%.bmp}").png" || true
    done
  fi
  if [[ -n "$dir" ]]; then
    # An unwritable desktop would keep the run folder from being deleted.
    [[ -z "${desktop:-}" ]] || desktop_writable yes 2>/dev/null || true
    "$run" clean "$dir" || true
  fi
  moravent_stop_ftp_server
  exit "$status"
}
trap cleanup EXIT
# A step that fails without a word of its own still says where the case stopped.
set -E
trap 'echo "     $case_name: stopped at line $LINENO: $BASH_COMMAND" >&2' ERR

fail() {
  echo "     $case_name: $*" >&2
  if [[ -s "$dir/driver.err" ]]; then
    sed 's/^/     driver: /' "$dir/driver.err" >&2
  fi
  exit 1
}

# The driver's complaint of the last command goes with the failure it caused. The driver gives
# each verdict (exit 1 or 2) a reason; a failure without one is Wine's in running it, no verdict
# on the program, so a command that only looks is run once more then.
drive() {
  local status attempt command="$1"
  [[ "$command" != --timeout ]] || command="$3"
  for attempt in 1 2; do
    status=0
    "$run" driver "$dir" "$@" >"$dir/driver.out" 2>"$dir/driver.err" || status=$?
    if ((status == 0)) || { ((status <= 2)) && [[ -s "$dir/driver.err" ]]; } ||
      [[ " $only_looking " != *" $command "* ]] || ((attempt == 2)); then
      break
    fi
    echo "     (driver $* failed without a verdict, exit $status: once more)" >&2
  done
  cat "$dir/driver.out"
  if ((status != 0)); then
    echo "exit $status from: driver $*" >>"$dir/driver.err"
  fi
  return "$status"
}
readonly only_looking="wait-window wait-gone text visible window-visible wait-text wait-box
  wait-tray-tip shortcut version box-button"

# expect WHAT EXPECTED ACTUAL
expect() {
  [[ "$3" == "$2" ]] || fail "$1: got '$3', expected '$2'"
}

# serve SIZE RATE [--seeded]: vsftpd on the program's port with the installer of SIZE bytes
# (random ones, or the same ones every time), each data connection held to RATE bytes a second.
# Sets served_file.
serve() {
  moravent_start_ftp_server --kind vsftpd --port "$port" --max-rate "$2" \
    "${3:---file}" "$served:$1" || fail "no FTP server on port $port"
  served_file="$moravent_server_root/$served"
}

# A fresh prefix. Unless told otherwise, a file stands where the program puts its desktop
# shortcut, so that it starts without the first-start message.
new_prefix() {
  dir="$("$run" new --driver "$driver_exe")"
  desktop="$dir/home/Desktop"
  documents="$dir/home/Documents"
  local user
  user="$(find "$dir/prefix/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public -printf '%f\n' |
    head -n 1)"
  desktop_win="C:\\users\\$user\\Desktop"
  record="$documents/${program##*/}.dir"
  if [[ "${1:-}" != --first-start ]]; then
    : >"$desktop/MoraventDL_Vellomarch.lnk"
  fi
}

# desktop_writable yes|no: whether anyone may write the desktop folder; root ignores the mode,
# but not the immutable flag.
desktop_writable() {
  if [[ "$1" == yes ]]; then
    chattr -i "$desktop" 2>/dev/null || true
    chmod u+w "$desktop"
    return
  fi
  chmod a-w "$desktop"
  chattr +i "$desktop" 2>/dev/null || true
  if touch "$desktop/.probe" 2>/dev/null; then
    rm -f "$desktop/.probe"
    fail "cannot make $desktop unwritable here"
  fi
}

# start NAME [PROGRAM]: the program (or another copy of it), and its window once it shows.
start() {
  "$run" start "$dir" "$1" "${2:-$program}"
  drive --timeout 30000 wait-window "$title" >/dev/null || fail "$1: no window"
}

# ends NAME: the program ends within 20 s of the answer that told it to; the log gives how soon.
ends() {
  local asked
  asked="$(now_ms)"
  "$run" wait "$dir" "$1" 20 >/dev/null || fail "$1: the program did not end"
  echo "     $1 ended $(($(now_ms) - asked)) ms after the answer"
}

# keys KEY...: real key presses (xdotool) into the program's window, which gets the keyboard.
keys() {
  local window
  window="$(xdotool search --name "^$title\$" | head -n 1)" || fail "no X window named $title"
  xdotool windowfocus --sync "$window" key --clearmodifiers --delay 50 "$@" ||
    fail "xdotool could not press $*"
}

# leave NAME CAPTION: Escape asks the question of the moment (CAPTION), and Yes ends the program.
leave() {
  keys Escape
  drive --timeout 20000 wait-box "$2" >/dev/null || fail "$1: Escape asked no '$2'"
  drive answer-box "$2" IDYES >/dev/null
  ends "$1"
}

# Next, and wait until the size is known and segments are running.
start_download() {
  drive click "$title" 1002 >/dev/null
  drive --timeout 60000 wait-text "$title" 1016 "KB out of" >/dev/null ||
    fail "the download did not start"
}

wait_completed() {
  drive --timeout 180000 wait-text "$title" 1010 "Download completed..." >/dev/null ||
    fail "the download did not complete"
  expect "status line at the end" "Download completed..." "$(drive text "$title" 1016)"
}

# no_first_start_message NAME: the window shows, without the first-start message that would
# have come before.
no_first_start_message() {
  local tries=100
  until [[ "$(drive window-visible "$title")" == 1 ]]; do
    if drive --timeout 0 wait-box "Make shotcut" >/dev/null 2>&1; then
      fail "$1: the first-start message came"
    fi
    ((tries-- > 0)) || fail "$1: the window did not show"
    sleep 0.1
  done
}

# screenshot NAME: the window, as app_test_NAME.png in $GUI_TEST_OUT.
screenshot() {
  local out="${GUI_TEST_OUT:-$PWD}"
  mkdir -p "$out"
  drive capture "$title" "$dir/$1.bmp" >/dev/null
  convert "$dir/$1.bmp" "$out/app_test_$1.png" || fail "no screenshot"
}

size_of() { stat -c %s "$1" 2>/dev/null || echo missing; }

# wait_for_growth FILE: the part file has some bytes (the first segment is written).
wait_for_growth() {
  local tries=600
  while (($(size_of "$1" | sed 's/missing/0/') == 0)); do
    ((tries-- > 0)) || fail "$1 never grew"
    sleep 0.1
  done
}

# wait_visible EXPECTED: the window's visibility becomes EXPECTED within 10 s.
wait_visible() {
  local tries=100 seen
  while true; do
    seen="$(drive window-visible "$title")" || fail "no window to look at"
    [[ "$seen" != "$1" ]] || return 0
    ((tries-- > 0)) || fail "window-visible stayed $seen, expected $1"
    sleep 0.1
  done
}

case_first_start() {
  new_prefix --first-start
  # What Explorer's Properties and Task Manager show of the program file, one version for all.
  expect "version resource" "fixed 1.0.0.1
CompanyName Moravent
FileDescription MoraventDL_Vellomarch
FileVersion 1.0.0.1
InternalName MoraventDL_Vellomarch
LegalCopyright Copyright (C) 2026 Moravent
OriginalFilename MoraventDL_Vellomarch.EXE
ProductName MoraventDL_Vellomarch Application
ProductVersion 1.0.0.1
manifest 1.0.0.1" "$(drive version "$program")"
  local link="$desktop/MoraventDL_Vellomarch.lnk"
  # No shortcut can be saved: no message, and the next start tries again.
  desktop_writable no
  start unwritable
  no_first_start_message unwritable
  [[ ! -e "$link" ]] || fail "a shortcut on a desktop that cannot be written"
  leave unwritable "Are you sure?"
  desktop_writable yes

  start first
  expect "first-start message" "Make shotcut at Desktop" \
    "$(drive --timeout 30000 wait-box "Make shotcut")"
  # Answered by a real click, as a mouse user does: the window comes up without a focus frame,
  # and shows one once a key is used.
  local ok_left ok_top ok_right ok_bottom clicked
  read -r ok_left ok_top ok_right ok_bottom <<<"$(drive box-button "Make shotcut" IDOK)"
  xdotool mousemove --sync $(((ok_left + ok_right) / 2)) $(((ok_top + ok_bottom) / 2)) click 1
  clicked="$(now_ms)"
  wait_visible 1
  echo "     the window showed $(($(now_ms) - clicked)) ms after OK"
  capture first_shown
  expect_focus first_shown 1002 next_normal no
  expect_focus first_shown 1001 cancel_normal no
  expect_focus first_shown 1015 browse_normal no
  keys shift+Tab
  capture first_key
  expect_focus first_key 1001 cancel_normal yes
  [[ -s "$link" ]] || fail "no shortcut at $link"
  # A shell link starts with its header size, 0x4C, as a little-endian 32-bit number.
  local program_win="Z:${program//\//\\}" fields
  fields="$(drive shortcut "$link")"
  expect "shortcut target" "target $program_win" "$(sed -n 1p <<<"$fields")"
  expect "shortcut working folder" "folder ${program_win%\\*}" "$(sed -n 2p <<<"$fields")"
  expect "shortcut description" "description Vellomarch downloader" "$(sed -n 3p <<<"$fields")"
  expect "status line shows the desktop" "$desktop_win" "$(drive text "$title" 1016)"
  leave first "Are you sure?"

  start second
  no_first_start_message second
  expect "status line at the second start" "$desktop_win" "$(drive text "$title" 1016)"
  leave second "Are you sure?"
}

case_download() {
  serve $((5 * MiB)) $((1 * MiB))
  new_prefix
  start first
  expect_phase1_skin phase1
  # The focus is on Next, unframed for a mouse user.
  expect_focus phase1 1002 next_normal no
  expect_hover_and_press 1001 cancel
  if drive --timeout 1000 wait-box "Are you sure?" >/dev/null 2>&1; then
    fail "a press released off the button clicked it"
  fi
  expect_drag "right button" no none 3
  expect_drag "left button with Shift" no shift 1
  expect_drag "left button" yes none 1
  # By keyboard: the press above left the focus on Cancel; once a key is used it shows, and Tab
  # and Shift+Tab go round the six buttons (Cancel, Next, the caption buttons, Browse).
  keys shift+Tab
  capture focus_browse
  expect_focus focus_browse 1015 browse_normal yes
  expect_focus focus_browse 1001 cancel_normal no
  keys Tab
  capture focus_cancel
  expect_focus focus_cancel 1001 cancel_normal yes
  expect_focus focus_cancel 1002 next_normal no
  keys Tab
  capture focus_next
  expect_focus focus_next 1002 next_normal yes
  expect_focus focus_next 1001 cancel_normal no
  screenshot focus_next
  keys space
  drive --timeout 60000 wait-text "$title" 1016 "KB out of" >/dev/null ||
    fail "Space on Next did not start the download"
  screenshot download
  expect_phase2_skin phase2
  expect_clean_changes 1016 "Download completed..."
  wait_completed
  expect_full_bar completed
  cmp "$served_file" "$desktop/$installer" || fail "the downloaded file differs"
  [[ ! -e "$desktop/$installer.downloading" ]] || fail "the part file stayed"
  drive click "$title" 1030 >/dev/null
  expect "question after completion" "Do you want exit downloader?" \
    "$(drive wait-box "Exit downloader")"
  drive answer-box "Exit downloader" IDNO >/dev/null
  expect "window after No" "1" "$(drive window-visible "$title")"
  drive click "$title" 1030 >/dev/null
  drive wait-box "Exit downloader" >/dev/null
  drive answer-box "Exit downloader" IDYES >/dev/null
  ends first

  # The file is there: Next refuses and the window stays as it was before the start.
  start second
  drive click "$title" 1002 >/dev/null
  expect "already-completed message" "$desktop_win\\$installer" \
    "$(drive --timeout 20000 wait-box "Already download completed")"
  drive answer-box "Already download completed" IDOK >/dev/null
  expect "Browse still offered" "1" "$(drive visible "$title" 1015)"
  expect "status line still the folder" "$desktop_win" "$(drive text "$title" 1016)"
  leave second "Are you sure?"
}

case_pause() {
  # Eight segments started two seconds apart: the download lasts well beyond the first write.
  serve $((12 * MiB)) $((512 * 1024))
  new_prefix
  start app
  expect "start button before the start" "Next" "$(drive text "$title" 1002)"
  expect "stop button before the start" "Cancel" "$(drive text "$title" 1001)"
  start_download
  expect "pause button while downloading" "Pause" "$(drive text "$title" 1002)"
  expect "stop button while downloading" "Stop" "$(drive text "$title" 1001)"
  expect "Browse while downloading" "0" "$(drive visible "$title" 1015)"
  # A click on Browse still queued from before the start: the part file stays where it is open.
  drive post "$title" 0x111 1015 0 >/dev/null
  local part="$desktop/$installer.downloading"
  wait_for_growth "$part"
  if drive --timeout 1000 press "Browse for Folder" IDCANCEL >/dev/null 2>&1; then
    fail "a Browse click opened the folder browser during the download"
  fi
  # Enter presses the focused button, Pause (the focus has been on it since the start). A press
  # that lands during a scheduler pass is dropped by the program: press again then.
  local attempt
  for attempt in 1 2 3; do
    keys Return
    if drive --timeout 5000 wait-text "$title" 1010 "Pause..." >/dev/null 2>&1; then
      break
    fi
    ((attempt < 3)) || fail "no 'Pause...' after three presses of Enter"
  done
  # Segments that were under way may still finish into memory, but nothing reaches the file.
  sleep 1
  local paused_size
  paused_size="$(size_of "$part")"
  sleep 5
  expect "part file while paused" "$paused_size" "$(size_of "$part")"
  expect "time label while paused" "Pause..." "$(drive text "$title" 1010)"
  expect "pause button while paused" "Resume" "$(drive text "$title" 1002)"
  capture paused
  expect_face paused 1002 resume_normal
  ((paused_size < 12 * MiB)) || fail "the download ended before the pause"

  keys Return
  drive wait-text "$title" 1002 "Pause" >/dev/null || fail "Resume did not turn back into Pause"
  expect "window after Enter on Pause and Resume" "1" "$(drive window-visible "$title")"
  wait_completed
  cmp "$served_file" "$desktop/$installer" || fail "the resumed file differs"
  [[ ! -e "$record" ]] || fail "the download's Browse click wrote the record"
  leave app "Exit downloader"
}

# leave_by HOW: asks the program to end as a user may: its exit (1030) or Stop (1001) button,
# Escape, Alt+F4, or WM_CLOSE (the taskbar's Close, or taskkill without /f).
leave_by() {
  case "$1" in
    exit) drive click "$title" 1030 >/dev/null ;;
    stop) drive click "$title" 1001 >/dev/null ;;
    escape) keys Escape ;;
    alt+F4) keys alt+F4 ;;
    close) drive close "$title" >/dev/null ;;
    *) fail "no way to leave called '$1'" ;;
  esac
}

# control_connections: how many of the program's connections the server's control port holds.
control_connections() {
  ss -Htn state established "( sport = :$port )" | wc -l
}

# Each state to leave, made in a fresh start of the program named after it.
exit_from_phase1() { start "$1"; }
exit_from_downloading() {
  # At the full pace, 15 segments start within a pass or two.
  start "$1" "$full_pace_program"
  start_download
  local tries=200
  until (($(control_connections) >= 15)); do
    ((tries-- > 0)) || fail "$1: $(control_connections) connections, expected 15"
    sleep 0.1
  done
}
exit_from_reading() {
  # The pace as shipped, a segment more every pass: some seconds in, a few workers read at once.
  start "$1"
  start_download
  wait_for_growth "$part"
  sleep 4
}
exit_from_paused() {
  start "$1"
  start_download
  wait_for_growth "$part"
  drive click "$title" 1002 >/dev/null
  drive --timeout 5000 wait-text "$title" 1010 "Pause..." >/dev/null || fail "$1: no pause"
}
exit_from_tray() {
  start "$1"
  start_download
  drive click "$title" 1028 >/dev/null
  wait_visible 0
}
exit_from_failing() {
  start "$1"
  start_download
  wait_for_growth "$part"
  # The server goes: the workers' connections break, and the passes that follow start them
  # again, which the refused connections fail at once.
  moravent_stop_ftp_server
  serving=""
  sleep 5
}
exit_from_completed() {
  moravent_stop_ftp_server
  serve $((1 * MiB)) $((1 * MiB))
  serving=""
  start "$1"
  drive click "$title" 1002 >/dev/null
  wait_completed
}

# The exit questions in every state the program can be in. A row: the server, the state, how
# the user asks to leave, the questions in turn with the answer to each, and what the target
# folder holds after the end: the part file with its record (part), nothing of the download
# (none), or the served file under the installer's name (installer). The program must end after
# the last answer. The servers (serve_kind) differ in how fast they send on each connection:
# the workers of one without a limit mostly wait for their turn, those of one with a limit mostly
# wait in a read.
readonly exit_rows=(
  "256k phase1      exit   Are you sure?=IDYES                           none"
  "256k downloading alt+F4 Resume Later?=IDYES                           part"
  "256k downloading exit   Resume Later?=IDNO Are you sure?=IDYES        none"
  "256k paused      stop   Resume Later?=IDYES                           part"
  "256k tray        close  Resume Later?=IDYES                           part"
  "256k failing     exit   Resume Later?=IDYES                           part"
  "256k completed   escape Exit downloader=IDYES                         installer"
  "250k reading     alt+F4 Resume Later?=IDYES                           part"
  "250k paused      alt+F4 Resume Later?=IDYES                           part"
  "250k tray        close  Resume Later?=IDYES                           part"
  "unlimited reading alt+F4 Resume Later?=IDYES                           part"
)

# serve_kind KIND: the server of an exit row, started unless it already runs: 256k (32 MiB at
# 256 KiB/s a connection), 250k (24 MiB at 250,000 bytes/s a connection, as vsftpd's
# anon_max_rate=250000 holds it) or unlimited (24 MiB, as fast as it goes).
serving=""
serve_kind() {
  [[ "$1" != "$serving" ]] || return 0
  moravent_stop_ftp_server
  case "$1" in
    256k) serve $((32 * MiB)) $((256 * 1024)) ;;
    250k) serve $((24 * MiB)) 250000 ;;
    unlimited) serve $((24 * MiB)) 0 ;;
    *) fail "no server kind called '$1'" ;;
  esac
  serving="$1"
}

case_exit() {
  serve_kind 256k
  new_prefix
  # The target folder comes from the record, which the exit questions must leave alone.
  local target="$dir/downloads" target_win
  mkdir -p "$target"
  target_win="Z:${target//\//\\}"
  printf '%s' "$target_win" >"$record"
  cp "$record" "$dir/record.before"
  # Each copy of the program keeps its record under its own file name.
  cp "$record" "$documents/${full_pace_program##*/}.dir"
  part="$target/$installer.downloading"

  # Escape, the taskbar's Close and Alt+F4 ask before anything ends; No and Cancel keep the window.
  start asking
  expect "folder from the record" "$target_win" "$(drive text "$title" 1016)"
  keys Escape
  expect "question for Escape in phase 1" "Are you sure you want to exit ?" \
    "$(drive wait-box "Are you sure?")"
  drive answer-box "Are you sure?" IDNO >/dev/null
  expect "window after No" "1" "$(drive window-visible "$title")"
  start_download
  drive post "$title" 0x112 0xF060 0 >/dev/null
  drive wait-box "Resume Later?" >/dev/null || fail "the taskbar's Close asked nothing"
  drive answer-box "Resume Later?" IDCANCEL >/dev/null
  expect "window after Cancel" "1" "$(drive window-visible "$title")"
  keys alt+F4
  expect "question for Alt+F4 during the download" \
    "Would you like to resume this download later?" "$(drive wait-box "Resume Later?")"
  drive answer-box "Resume Later?" IDYES >/dev/null
  ends asking

  local row kind state how files answer question text number=0
  for row in "${exit_rows[@]}"; do
    read -r kind state how _ <<<"$row"
    files="${row##* }"
    number=$((number + 1))
    local name="exit$number-$kind-$state"
    rm -f "$part" "$part.origin" "$target/$installer"
    serve_kind "$kind"
    "exit_from_$state" "$name"
    leave_by "$how"
    # The answers: "CAPTION=BUTTON" words between the way and the files.
    local answers="${row#*"$how"}"
    answers="${answers%"$files"}"
    while [[ "$answers" =~ ^[[:space:]]*([^=]+)=(ID[A-Z]+)(.*)$ ]]; do
      question="${BASH_REMATCH[1]}"
      answer="${BASH_REMATCH[2]}"
      answers="${BASH_REMATCH[3]}"
      text="$(drive --timeout 20000 wait-box "$question")" || fail "$name: no '$question'"
      if [[ "$question" == "Are you sure?" && "$state" != phase1 ]]; then
        [[ "$text" == *"Are you sure you want to cancel to download?"* &&
          "$text" == *"Partially downloaded files will be deleted."* ]] ||
          fail "$name: cancel confirmation: got '$text'"
      fi
      drive answer-box "$question" "$answer" >/dev/null
    done
    ends "$name"
    case "$files" in
      part)
        [[ -e "$part" && -e "$part.origin" ]] || fail "$name: the part file or its record is gone"
        [[ ! -e "$target/$installer" ]] || fail "$name: an unfinished download got the name"
        # What was written is the served file's start, nothing of a segment cut short (a server
        # that went took its file along).
        [[ ! -e "$served_file" ]] || cmp -s -n "$(size_of "$part")" "$part" "$served_file" ||
          fail "$name: the part file is no prefix of the served file"
        ;;
      none)
        [[ ! -e "$part" && ! -e "$part.origin" && ! -e "$target/$installer" ]] ||
          fail "$name: the download left files: $(ls "$target")"
        ;;
      installer)
        cmp "$served_file" "$target/$installer" || fail "$name: the downloaded file differs"
        [[ ! -e "$part" && ! -e "$part.origin" ]] || fail "$name: the part file stayed"
        ;;
    esac
    cmp -s "$dir/record.before" "$record" || fail "$name: the record changed"
  done
}

# tray_shell NAME accept|refuse: the driver's stand-in for the notification area, which the
# program's icon requests reach while it runs, logged to $dir/NAME.log; it has announced itself
# to the program once its window is there.
tray_shell() {
  "$run" start "$dir" "$1" "$driver_exe" --timeout 120000 tray-shell "$2" "$dir/$1.log"
  drive wait-window "Test shell" >/dev/null || fail "$1: the test shell did not start"
}

# end_tray_shell NAME: Wine's own notification area serves again.
end_tray_shell() {
  drive close "Test shell" >/dev/null
  expect "$1's end" 0 "$("$run" wait "$dir" "$1" 10)"
}

# adds NAME: how often the program asked the test shell NAME to add its icon.
adds() { grep -c '^NIM_ADD 128$' "$dir/$1.log" || true; }

# wait_adds NAME COUNT: the program asks COUNT times within 10 s.
wait_adds() {
  local tries=100
  until (($(adds "$1") >= $2)); do
    ((tries-- > 0)) || fail "$1: $(adds "$1") icon adds, expected $2"
    sleep 0.1
  done
}

# tray_percent: the percentage that the notification icon's tip shows.
tray_percent() {
  local tip
  tip="$(drive --timeout 20000 wait-tray-tip "Downloading Vellomarch (")" || fail "no tray tip"
  [[ "$tip" =~ ^Downloading\ Vellomarch\ \(([0-9]+)%\ complete\)$ ]] || fail "tray tip: got '$tip'"
  echo "${BASH_REMATCH[1]}"
}

case_tray() {
  serve $((6 * MiB)) $((512 * 1024))
  new_prefix
  start app
  # Refused an icon, the window stays on screen: hidden, nothing would bring it back. The
  # shell's announcement found it on screen and added nothing.
  tray_shell refusing refuse
  drive click "$title" 1028 >/dev/null
  wait_adds refusing 1
  wait_visible 1
  screenshot tray_refused
  expect "icon adds at the refusing shell" 1 "$(adds refusing)"
  end_tray_shell refusing
  start_download
  # Minimised and restored (WM_SYSCOMMAND SC_RESTORE), the download runs on.
  drive click "$title" 1029 >/dev/null
  wait_visible 0
  drive post "$title" 0x112 0xF120 0 >/dev/null
  wait_visible 1
  # Restored, the window has built its image again and every control shows its piece of it.
  capture restored
  expect_background restored 250 40
  expect_face restored 1002 pause_normal
  drive click "$title" 1028 >/dev/null
  wait_visible 0
  # A shell that starts again has lost the icons: the hidden window's comes back, once.
  tray_shell restarted accept
  wait_adds restarted 1
  end_tray_shell restarted
  expect "icon adds at the restarted shell" 1 "$(adds restarted)"
  # The tip follows the download while the window is hidden.
  local first now tries=300
  first="$(tray_percent)"
  now="$first"
  while ((now == first)); do
    ((tries-- > 0)) || fail "the tray tip stayed at $first%"
    sleep 0.1
    now="$(tray_percent)"
  done
  ((now > first)) || fail "the tray tip went from $first% back to $now%"
  # Only the left button's release brings the window back.
  drive post "$title" 0x40A 128 0x205 >/dev/null
  sleep 1
  expect "after a right click on the icon" "0" "$(drive window-visible "$title")"
  drive post "$title" 0x40A 128 0x202 >/dev/null
  wait_visible 1
  drive click "$title" 1028 >/dev/null
  wait_visible 0

  wait_completed
  drive --timeout 5000 wait-tray-tip "Downloading Vellomarch (100% complete)" >/dev/null ||
    fail "the tray tip did not reach 100%"
  cmp "$served_file" "$desktop/$installer" || fail "the file downloaded in the tray differs"
  # A second start brings the running window out of the tray and ends without a window of its
  # own.
  "$run" start "$dir" second "$program"
  "$run" wait "$dir" second 20 >/dev/null || fail "the second start did not end"
  wait_visible 1
  expect "windows on screen after the second start" 1 \
    "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)"
  expect "status line after the restore" "Download completed..." "$(drive text "$title" 1016)"
  if drive --timeout 1000 wait-tray-tip "Downloading Vellomarch" >/dev/null 2>&1; then
    fail "the icon stayed in the notification area after the restore"
  fi
  leave app "Exit downloader"
}

case_browse() {
  serve $((1 * MiB)) $((1 * MiB))
  new_prefix
  local chosen="$dir/Tom & Jerry" chosen_win
  mkdir -p "$chosen"
  chosen_win="Z:${chosen//\//\\}"
  start app
  # Cancelled, the browser changes nothing.
  drive click "$title" 1015 >/dev/null
  drive --timeout 20000 press "Browse for Folder" IDCANCEL >/dev/null
  expect "status line after a cancelled Browse" "$desktop_win" "$(drive text "$title" 1016)"
  [[ ! -e "$record" ]] || fail "a cancelled Browse wrote the record"

  drive click "$title" 1015 >/dev/null
  drive --timeout 20000 browse-to "Browse for Folder" "$chosen" >/dev/null ||
    fail "could not choose the folder in the browser"
  expect "status line after Browse" "$chosen_win" \
    "$(drive wait-text "$title" 1016 "Tom & Jerry")"
  expect "record after Browse" "$chosen_win" "$(cat "$record")"
  leave app "Are you sure?"

  # The next start offers the chosen folder, and the download lands there.
  start again
  expect "status line at the next start" "$chosen_win" "$(drive text "$title" 1016)"
  drive click "$title" 1002 >/dev/null
  wait_completed
  cmp "$served_file" "$chosen/$installer" || fail "the file in the chosen folder differs"
  leave again "Exit downloader"
}

# The server is not there yet: the program keeps connecting, and gets the file once it is. Built
# to check the installer's hash, it refuses the other bytes the first server has: nothing gets
# the installer's name, the part file goes, and the window waits for Next as before the start.
case_late_server() {
  new_prefix
  start app "$checked_program"
  drive click "$title" 1002 >/dev/null
  drive wait-text "$title" 1010 "Connecting..." >/dev/null || fail "no 'Connecting...'"
  # Nothing to pause and no part file yet: Pause changes nothing, leaving asks the short question.
  drive click "$title" 1002 >/dev/null
  sleep 1
  expect "time label after Pause while connecting" "Connecting..." "$(drive text "$title" 1010)"
  expect "pause button while connecting" "Pause" "$(drive text "$title" 1002)"
  drive click "$title" 1030 >/dev/null
  expect "question while connecting" "Do you want exit downloader?" \
    "$(drive wait-box "Exit downloader")"
  drive answer-box "Exit downloader" IDNO >/dev/null

  serve $((1 * MiB)) $((1 * MiB))
  local text
  text="$(drive --timeout 120000 wait-box "Damaged download")" || fail "no damaged-file message"
  [[ "$text" == *"damaged"* && "$text" == *"Next"* ]] || fail "damaged-file message: got '$text'"
  [[ ! -e "$desktop/$installer" ]] || fail "a damaged file got the installer's name"
  [[ ! -e "$desktop/$installer.downloading" ]] || fail "the damaged part file stayed"
  drive answer-box "Damaged download" IDOK >/dev/null
  expect "status line after the damaged file" "$desktop_win" "$(drive text "$title" 1016)"
  expect "Browse after the damaged file" "1" "$(drive visible "$title" 1015)"
  expect_phase1_skin damaged
  screenshot damaged
  moravent_stop_ftp_server

  # Slow enough to be hidden before the end.
  serve $((1 * MiB)) $((256 * 1024)) --seeded
  expect "hash of the seeded file" "$checked_sha256" "$(sha256sum <"$served_file" | cut -d ' ' -f 1)"
  # Hidden in the notification area, the window tells of the end by a balloon.
  tray_shell hidden accept
  drive click "$title" 1002 >/dev/null
  drive click "$title" 1028 >/dev/null
  wait_visible 0
  wait_completed
  grep -q '^NIM_MODIFY 128 info$' "$dir/hidden.log" || fail "no balloon at the end while hidden"
  drive post "$title" 0x40A 128 0x202 >/dev/null
  wait_visible 1
  end_tray_shell hidden
  cmp "$served_file" "$desktop/$installer" || fail "the file from the late server differs"
  expect_zone_mark "$desktop/$installer"
  leave app "Exit downloader"
}

# expect_zone_mark FILE: the finished installer carries the mark of the web, which Wine keeps as
# a plain file beside it.
expect_zone_mark() {
  local expected
  expected="$(printf '[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=ftp://127.0.0.1:%s/%s\r\n' "$port" \
    "$served" | od -An -c)"
  [[ -e "$1:Zone.Identifier" ]] || fail "no mark of the web beside $1"
  expect "mark of the web" "$expected" "$(od -An -c "$1:Zone.Identifier")"
}

# Windows takes these from its own copies whatever lies beside a program (its KnownDLLs and the
# DLLs they load), so a planted copy of one is no threat there; Wine has no such list.
readonly known_dlls=(advapi32 bcryptprimitives clbcatq combase comdlg32 coml2 difxapi gdi32
  gdi32full gdiplus imagehlp imm32 kernel32 kernelbase msctf msvcp_win msvcrt normaliz nsi ntdll
  ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi ucrtbase user32 win32u
  wldap32 ws2_32)

# planted_session NAME [WINE...=VALUE...]: a whole session of the program copy in the downloads
# folder, started from the current folder: the first-start message, Browse opened and
# cancelled, Next, the download to its end, exit. The installer and its mark go afterwards.
planted_session() {
  (cd "$current" && "$run" start "$dir" "$@" "$copy")
  drive --timeout 30000 wait-box "Make shotcut" >/dev/null || fail "$1: no first-start message"
  drive answer-box "Make shotcut" IDOK >/dev/null
  wait_visible 1
  drive click "$title" 1015 >/dev/null
  drive --timeout 20000 press "Browse for Folder" IDCANCEL >/dev/null
  drive click "$title" 1002 >/dev/null
  wait_completed
  cmp "$served_file" "$desktop/$installer" || fail "$1: the downloaded file differs"
  expect_zone_mark "$desktop/$installer"
  leave "$1" "Exit downloader"
  rm -f "$desktop/$installer" "$desktop/$installer:Zone.Identifier" "$desktop"/*.lnk
}

# plant FOLDER NAME...: the marking DLL under each NAME.dll.
plant() {
  local folder="$1" name
  shift
  for name in "$@"; do
    cp "$planted_dll" "$folder/$name.dll"
  done
}

# native_first NAME...: Wine's overrides that load a DLL found beside the program before its
# own, as Windows does for a DLL that is not a known one.
native_first() {
  local overrides name
  overrides="$(eval "$("$run" env "$dir")" && echo "$WINEDLLOVERRIDES")"
  for name in "$@"; do
    overrides+=";$name=n,b"
  done
  echo "WINEDLLOVERRIDES=$overrides"
}

# wine_own NAME...: of the names, those that Wine's own DLLs take from the folder of a program
# that restricts its DLL search as ours does: planted all at once, a name that runs is noted
# and left out of the next try, until a try runs none.
wine_own() {
  local candidates=("$@") own=() try=0 reference_dir="$dir/reference" ran
  while true; do
    try=$((try + 1))
    rm -rf "$reference_dir"
    mkdir -p "$reference_dir"
    cp "$reference_program" "$reference_dir/"
    plant "$reference_dir" "${candidates[@]}"
    (cd "$reference_dir" &&
      "$run" start "$dir" "reference$try" "$(native_first "${candidates[@]}")" \
        "$reference_dir/${reference_program##*/}")
    # A planted DLL that Wine calls into stops the program: its mark tells, not its end.
    local tries=100
    until [[ -e "$dir/log/reference$try.rc" ]] || compgen -G "$reference_dir/*.ran" >/dev/null; do
      ((tries-- > 0)) || break
      sleep 0.1
    done
    sleep 0.5
    "$run" stop "$dir"
    ran="$(find "$reference_dir" -name '*.dll.ran' -printf '%f ' | sed 's/\.dll\.ran / /g')"
    [[ -n "$ran" ]] || break
    ((try <= $#)) || fail "Wine's own names: no end"
    own+=($ran)
    local left=() name
    for name in "${candidates[@]}"; do
      [[ " $ran " == *" $name "* ]] || left+=("$name")
    done
    candidates=("${left[@]}")
  done
  echo "${own[*]}"
}

# Users start the program from their Downloads folder, where other downloads lie. A DLL
# planted there, or in the current folder, under the name of any DLL the program loads that
# Windows does not protect, never runs; the download is whole and carries its mark.
case_planted() {
  # The copy that checks the installer's hash, so that the system DLL it loads only for that,
  # at the end, is among the names.
  serve $((1 * MiB)) $((1 * MiB)) --seeded
  new_prefix --first-start
  local folder="$dir/Downloads" names=() name own planted=()
  current="$dir/current"
  copy="$folder/${checked_program##*/}"
  planted_dll="$(dirname "$driver_exe")/planted_dll.dll"
  reference_program="$(dirname "$driver_exe")/reference_program.exe"
  mkdir -p "$folder" "$current"
  cp "$checked_program" "$copy"

  # The names: what the process loads in a whole session, as Wine's loader tells it.
  planted_session names WINEDEBUG=+loaddll
  mapfile -t names < <(sed -n 's/.*Loaded L"[^"]*\\\([^\\"]*\)\.dll".*/\1/Ip' "$dir/log/names.err" |
    tr '[:upper:]' '[:lower:]' | sort -u | while read -r name; do
      [[ " ${known_dlls[*]} " == *" $name "* ]] || echo "$name"
    done)
  ((${#names[@]} > 0)) || fail "no DLL names in the loader's log"
  own="$(wine_own "${names[@]}")"
  for name in "${names[@]}"; do
    [[ " $own " == *" $name "* ]] || planted+=("$name")
  done
  echo "     loaded, not known DLLs: ${names[*]}; Wine's own doing: ${own:-none}"
  echo "     planted: ${planted[*]}"

  plant "$folder" "${planted[@]}"
  plant "$current" "${planted[@]}"
  planted_session planted "$(native_first "${planted[@]}")"
  local ran
  ran="$(find "$dir" -name '*.dll.ran' -printf '%P ')"
  [[ -z "$ran" ]] || fail "planted DLLs ran: $ran"
}

# windows_path UNIX_PATH: the path as the program sees it, through drive Z:.
windows_path() {
  local path="Z:$1"
  echo "${path//\//\\}"
}

# A user whose folders hold characters the ANSI code page (1252) lacks: Desktop and Documents
# moved the way Windows moves them (User Shell Folders), and a copy of the program under such a
# name in such a folder. Every path must reach Windows whole, never best-fit ("Lukasz") or "?".
case_world_folders() {
  serve $((1 * MiB)) $((1 * MiB))
  new_prefix --first-start
  local user_folder="$dir/home/Łukasz ダウンロード 📁"
  desktop="$user_folder/Desktop"
  documents="$user_folder/Documents"
  local app_folder="$user_folder/Programy 🚀 Zażółć" shell_key
  local app="$app_folder/Pobieracz ゲーム.exe"
  mkdir -p "$desktop" "$documents" "$app_folder"
  cp "$program" "$app"
  record="$documents/Pobieracz ゲーム.exe.dir"
  desktop_win="$(windows_path "$desktop")"
  shell_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
  "$run" run "$dir" reg add "$shell_key" /v Desktop /t REG_SZ /d "$desktop_win" /f >/dev/null
  "$run" run "$dir" reg add "$shell_key" /v Personal /t REG_SZ \
    /d "$(windows_path "$documents")" /f >/dev/null

  start first "$app"
  expect "first-start message" "Make shotcut at Desktop" \
    "$(drive --timeout 30000 wait-box "Make shotcut")"
  drive answer-box "Make shotcut" IDOK >/dev/null
  wait_visible 1
  local fields app_win
  app_win="$(windows_path "$app")"
  fields="$(drive shortcut "$desktop/MoraventDL_Vellomarch.lnk")" || fail "no shortcut on the desktop"
  expect "shortcut target" "target $app_win" "$(sed -n 1p <<<"$fields")"
  expect "shortcut working folder" "folder ${app_win%\\*}" "$(sed -n 2p <<<"$fields")"
  expect "status line shows the desktop" "$desktop_win" "$(drive text "$title" 1016)"
  screenshot world_folders
  drive click "$title" 1002 >/dev/null
  wait_completed
  cmp "$served_file" "$desktop/$installer" || fail "the file on the desktop differs"
  [[ ! -e "$desktop/$installer.downloading" ]] || fail "the part file stayed"
  leave first "Exit downloader"

  local chosen="$dir/Zażółć 写真 🎮" chosen_win
  mkdir -p "$chosen"
  chosen_win="$(windows_path "$chosen")"
  start second "$app"
  no_first_start_message second
  drive click "$title" 1015 >/dev/null
  drive --timeout 20000 browse-to "Browse for Folder" "$chosen" >/dev/null ||
    fail "could not choose the folder in the browser"
  expect "status line after Browse" "$chosen_win" "$(drive wait-text "$title" 1016 "写真")"
  # Code page 1252 has no room for it: UTF-8 behind a byte-order mark.
  expect "record after Browse" "$chosen_win" "$(sed '1s/^\xEF\xBB\xBF//' "$record")"
  [[ "$(head -c 3 "$record" | od -An -tx1 | tr -d ' ')" == efbbbf ]] ||
    fail "the record has no byte-order mark"
  leave second "Are you sure?"
  start third "$app"
  expect "status line at the next start" "$chosen_win" "$(drive text "$title" 1016)"
  leave third "Are you sure?"

  # A record of an earlier build: the folder in code page 1252.
  local cafe="$dir/café"
  mkdir -p "$cafe"
  printf '%s' "$(windows_path "$cafe")" | iconv -f UTF-8 -t CP1252 >"$record"
  start fourth "$app"
  expect "status line from an ANSI record" "$(windows_path "$cafe")" "$(drive text "$title" 1016)"
  drive click "$title" 1002 >/dev/null
  wait_completed
  cmp "$served_file" "$cafe/$installer" || fail "the file in the ANSI record's folder differs"
  leave fourth "Exit downloader"
}

case "$case_name" in
  first_start | download | pause | exit | tray | browse | late_server | world_folders | planted)
    "case_$case_name"
    ;;
  *)
    echo "unknown case '$case_name'" >&2
    exit 2
    ;;
esac
