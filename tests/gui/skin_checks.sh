# Pixel checks of the skinned window, for app_test.sh (sourced; uses its drive, fail, expect,
# $title and $dir). Expected pixels come from the skin's own bitmaps (res/bitmaps) and the
# colours the window is built with, at places read from the running window's controls: never
# from a screenshot of our own.

readonly skin_bitmaps="$here/../../res/bitmaps"
readonly magenta="255,0,255"

# pixel IMAGE X Y: "R,G,B" of one pixel.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:
}

# colour_count IMAGE R,G,B [GEOMETRY]: how many pixels (of the area) have exactly that colour.
colour_count() {
  local area=()
  [[ -z "${3:-}" ]] || area=(-crop "$3" +repage)
  convert "$1" "${area[@]}" -depth 8 -format %c histogram:info:- |
    awk -v want="($2)" '{ gsub(/ /, "") } index($0, want) { split($0, n, ":"); sum += n[1] }
                        END { print sum + 0 }'
}

# capture NAME: the window as $dir/NAME.bmp, 500 x 220 whatever the template's units gave, and
# never showing the faces' key colour.
capture() {
  expect "window size" "500x220" "$(drive capture "$title" "$dir/$1.bmp")"
  expect "magenta pixels in $1" 0 "$(colour_count "$dir/$1.bmp" "$magenta")"
}

# control_rect ID: sets left, top, right, bottom (client coordinates).
control_rect() {
  read -r left top right bottom <<<"$(drive rect "$title" "$1")" || fail "no rectangle of $1"
}

# expect_background SHOT X Y: the pixel shows the background bitmap's pixel at the same place.
expect_background() {
  expect "background at $2,$3" "$(pixel "$skin_bitmaps/background.bmp" "$2" "$3")" \
    "$(pixel "$dir/$1.bmp" "$2" "$3")"
}

# expect_face SHOT ID FACE: the button shows FACE (res/bitmaps/FACE.bmp) where the face is not
# the key colour, and the background where it is (its corners).
expect_face() {
  control_rect "$2"
  local size="$((right - left))x$((bottom - top))"
  # The whole button at once, as "x,y R,G,B" lines: the shot, the face, the background under it.
  pixels_of "$dir/$1.bmp" "$size+$left+$top" >"$dir/shot.px"
  pixels_of "$skin_bitmaps/$3.bmp" "$size+0+0" >"$dir/face.px"
  pixels_of "$skin_bitmaps/background.bmp" "$size+$left+$top" >"$dir/under.px"
  local mismatch
  mismatch="$(paste -d ' ' "$dir/shot.px" "$dir/face.px" "$dir/under.px" |
    awk -v magenta="$magenta" -v face="$3" -v id="$2" '
      BEGIN { split("1 12 27 40 53", xs, " "); split("0 5 11 17 22", ys, " ")
              for (i in xs) for (j in ys) sampled[xs[i] "," ys[j]] = 1 }
      ($1 in sampled) { want = ($4 == magenta) ? $6 : $4
        if ($2 != want) { printf "%s at %s of button %s: got %s, expected %s\n", face, $1, id, $2, want; exit } }')"
  [[ -z "$mismatch" ]] || fail "$mismatch"
}

# pixels_of IMAGE GEOMETRY: "x,y R,G,B" for each pixel of the area, row by row.
pixels_of() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk 'NR > 1 { sub(":", "", $1); gsub(/[()]/, "", $2); print $1, $2 }'
}

# expect_focus SHOT ID FACE yes|no: the button shows FACE with a focus frame, or without: its
# row two pixels inside the top edge differs from the face's along the frame's dots, or not at all.
expect_focus() {
  control_rect "$2"
  convert "$dir/$1.bmp" -crop "47x1+$((left + 4))+$((top + 2))" +repage "$dir/row.png"
  convert "$skin_bitmaps/$3.bmp" -crop 47x1+4+2 +repage "$dir/face_row.png"
  local changed
  changed="$(compare -metric AE "$dir/row.png" "$dir/face_row.png" null: 2>&1 || true)"
  if [[ "$4" == yes ]]; then
    ((changed >= 10)) || fail "$1: no focus frame on button $2 ($changed pixels differ)"
  else
    ((changed == 0)) || fail "$1: a focus frame on button $2 ($changed pixels differ)"
  fi
}

# expect_clean_changes ID SUBSTRING: each new text of the status line until one holds SUBSTRING,
# captured the moment it is set, lands on the repainted skin: no white, the colour that the static
# class would draw a new text in at once, over the old one.
expect_clean_changes() {
  drive --timeout 180000 snap-on-change "$title" "$1" "$2" "$dir/change" >/dev/null ||
    fail "control $1 never showed '$2'"
  control_rect "$1"
  local snap
  for snap in "$dir"/change_*.bmp; do
    expect "white pixels in control $1 at a change (${snap##*/})" 0 \
      "$(colour_count "$snap" 255,255,255 "$((right - left))x$((bottom - top))+$left+$top")"
  done
}

# expect_phase1_skin SHOT: the window before the start.
expect_phase1_skin() {
  capture "$1"
  expect_background "$1" 250 40
  expect_background "$1" 470 100
  expect_background "$1" 495 215
  expect_face "$1" 1002 next_normal
  expect_face "$1" 1001 cancel_normal
  # The status line, in its grey, over the dark folder box that lies behind it.
  control_rect 1016
  local middle=$(((top + bottom) / 2))
  # Near the box's top: after the start the status line moves up over it, showing the skin.
  folder_box_probe=$((middle - 8))
  expect "folder box right of the text" "41,41,41" "$(pixel "$dir/$1.bmp" 410 "$middle")"
  expect "folder box near its top" "41,41,41" "$(pixel "$dir/$1.bmp" 410 "$folder_box_probe")"
  (($(colour_count "$dir/$1.bmp" "192,192,192" "$((right - left))x$((bottom - top))+$left+$top") > 0)) ||
    fail "no grey text in the status line"
  # The folder label: white text straight on the skin, no box around it.
  control_rect 1032
  (($(colour_count "$dir/$1.bmp" "255,255,255" "$((right - left))x$((bottom - top))+$left+$top") > 0)) ||
    fail "no white text in the folder label"
  expect_background "$1" $((right - 2)) $((top + 1))
}

# expect_phase2_skin SHOT: the window once the download runs: no folder box any more.
expect_phase2_skin() {
  capture "$1"
  expect_face "$1" 1002 pause_normal
  expect_face "$1" 1001 stop_normal
  expect_background "$1" 410 "$folder_box_probe"
}

# expect_full_bar SHOT: at 100 % the tiles fill all of the bar but its last column; that column
# and the one-pixel margin keep the bar's dark colour.
expect_full_bar() {
  capture "$1"
  control_rect 1013
  local middle=$(((top + bottom) / 2)) dark="50,50,50"
  expect "bar margin" "$dark" "$(pixel "$dir/$1.bmp" "$left" "$middle")"
  expect "bar's last column" "$dark" "$(pixel "$dir/$1.bmp" $((right - 2)) "$middle")"
  local x=$((right - 3)) tile="$skin_bitmaps/progress_tile.bmp"
  expect "bar filled up to its last column" \
    "$(pixel "$tile" $(((x - left - 1) % 10)) $(((middle - top - 1) % 10)))" \
    "$(pixel "$dir/$1.bmp" "$x" "$middle")"
}

# Real input on the display, as a user gives it (xdotool), at client coordinates of the window.
window_origin() {
  read -r window_left window_top _ _ <<<"$(drive window-rect "$title")" ||
    fail "no window rectangle"
}
pointer_to() {
  window_origin
  local X Y
  eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
  # --sync waits for a move, which never comes (but after 15 s) when the pointer is there already.
  if ((X != window_left + $1 || Y != window_top + $2)); then
    xdotool mousemove --sync $((window_left + $1)) $((window_top + $2))
  fi
}

# expect_hover_and_press ID FACE: the pointer over the button shows FACE_hover, the left button
# held down on it FACE_pressed (over the hover face); released off the button, nothing is
# clicked, and the normal face comes back once the pointer has left.
expect_hover_and_press() {
  control_rect "$1"
  local x=$(((left + right) / 2)) y=$(((top + bottom) / 2))
  pointer_to "$x" "$y"
  sleep 0.5
  capture hover
  expect_face hover "$1" "$2_hover"
  xdotool mousedown 1
  sleep 0.5
  capture pressed
  expect_face pressed "$1" "$2_pressed"
  pointer_to 250 205
  xdotool mouseup 1
  sleep 0.5
  capture left
  expect_face left "$1" "$2_normal"
}

# expect_drag WHAT MOVES DOWN-ARGS...: presses at a background point with the given xdotool
# key and button, moves the pointer by (40, 30) and releases; the window moves with it, or not.
expect_drag() {
  local what="$1" moves="$2" key="$3" button="$4" before after
  pointer_to 250 205
  before="$(drive window-rect "$title")"
  [[ "$key" == none ]] || xdotool keydown "$key"
  xdotool mousedown "$button"
  sleep 0.3
  window_origin
  xdotool mousemove --sync $((window_left + 260)) $((window_top + 215))
  xdotool mousemove --sync $((window_left + 290)) $((window_top + 235))
  sleep 0.3
  xdotool mouseup "$button"
  [[ "$key" == none ]] || xdotool keyup "$key"
  sleep 0.5
  after="$(drive window-rect "$title")"
  if [[ "$moves" == yes ]]; then
    [[ "$after" != "$before" ]] || fail "$what: the window did not move"
  else
    expect "$what: the window stays" "$before" "$after"
  fi
}
