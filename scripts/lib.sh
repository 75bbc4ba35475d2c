# shellcheck shell=bash
# Shared by scripts/test and scripts/run: source it, don't run it.
#
# moravent_install_prerequisites installs what a fresh Debian 12 lacks for building and testing,
# and does nothing (no apt-get at all) on a machine that already has it.

# shellcheck disable=SC2034 # used by the scripts that source this
MORAVENT_REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

MORAVENT_DEBIAN_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine fonts-liberation xvfb xauth
  vsftpd python3-pyftpdlib imagemagick
  libssl-dev # the native build hashes with OpenSSL's libcrypto
  xdotool # the GUI tests move the pointer and press buttons as a user does
  iproute2 # and count the connections a download holds (ss)
  python3-pil fonts-dejavu-core # res/make_art draws the art with these and fonts-liberation
  osslsigncode openssl # signing the release build, and its test's throwaway certificate
)

# The FTP server packages conflict with each other: vsftpd is installed, proftpd is unpacked here
# and run from here. ftp_servers.py looks in the same place.
moravent_cache_dir() {
  local home
  home="$(getent passwd "$(id -u)" | cut -d: -f6)"
  echo "${XDG_CACHE_HOME:-${home:-$HOME}/.cache}/moravent"
}

moravent_log() {
  echo "== $*" >&2
}

moravent_apt_updated=0
moravent_apt_update_once() {
  if [[ "$moravent_apt_updated" == 0 ]]; then
    moravent_log "apt-get update"
    moravent_as_root apt-get update -qq
    moravent_apt_updated=1
  fi
}

moravent_is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

moravent_as_root() {
  if [[ "$(id -u)" == 0 ]]; then
    "$@"
  else
    sudo "$@"
  fi
}

moravent_install_debian_packages() {
  local missing=() package
  for package in "${MORAVENT_DEBIAN_PACKAGES[@]}"; do
    moravent_is_installed "$package" || missing+=("$package")
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  moravent_log "installing ${missing[*]}"
  moravent_apt_update_once
  moravent_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The installed vsftpd package may start a system service on port 21; the tests start servers
# of their own on free ports and need none.
moravent_stop_system_vsftpd() {
  if command -v systemctl >/dev/null && systemctl is-active --quiet vsftpd 2>/dev/null; then
    moravent_as_root systemctl stop vsftpd || true
  elif [[ -x /etc/init.d/vsftpd ]] && /etc/init.d/vsftpd status >/dev/null 2>&1; then
    moravent_as_root /etc/init.d/vsftpd stop >/dev/null || true
  fi
}

# Library packages (recursively) that proftpd-core needs and this machine lacks.
moravent_missing_libraries_of() {
  local -A seen=()
  local queue=("$1") package dependency
  while ((${#queue[@]} > 0)); do
    package="${queue[0]}"
    queue=("${queue[@]:1}")
    for dependency in $(apt-cache depends --no-recommends --no-suggests --no-conflicts \
      --no-breaks --no-replaces --no-enhances --no-pre-depends "$package" 2>/dev/null |
      sed -n 's/^ *Depends: \(lib[^ <>]*\)$/\1/p'); do
      if [[ -z "${seen[$dependency]:-}" ]] && ! moravent_is_installed "$dependency"; then
        seen[$dependency]=1
        queue+=("$dependency")
        echo "$dependency"
      fi
    done
  done
}

moravent_unpack_proftpd() {
  local target
  target="$(moravent_cache_dir)/proftpd"
  if [[ -x "$target/usr/sbin/proftpd" ]]; then
    return 0
  fi
  moravent_log "unpacking proftpd into $target"
  moravent_apt_update_once
  local download
  download="$(mktemp -d)"
  chmod 0755 "$download" # apt's download user must be able to write here
  local packages
  mapfile -t packages < <(echo proftpd-core; moravent_missing_libraries_of proftpd-core)
  (cd "$download" && apt-get download -qq "${packages[@]}" 2>/dev/null) || return 1
  rm -rf "$target.partial"
  mkdir -p "$target.partial"
  local deb
  for deb in "$download"/*.deb; do
    dpkg -x "$deb" "$target.partial" || return 1
  done
  rm -rf "$download" "$target"
  mv "$target.partial" "$target"
  if LD_LIBRARY_PATH="$(moravent_proftpd_library_path "$target")" ldd "$target/usr/sbin/proftpd" |
    grep 'not found'; then
    echo "proftpd in $target still lacks the libraries above" >&2
    return 1
  fi
}

moravent_proftpd_library_path() {
  echo "$1/usr/lib/x86_64-linux-gnu:$1/lib/x86_64-linux-gnu"
}

moravent_install_prerequisites() {
  moravent_install_debian_packages
  moravent_unpack_proftpd
  moravent_stop_system_vsftpd
}

# Starts one test FTP server (tests/support/ftp_servers.py with the given options) whose standard
# input is its lifeline: it stops when moravent_stop_ftp_server lets go of it, and also when the
# calling script dies without running its traps. Sets moravent_server_port and
# moravent_server_root.
moravent_start_ftp_server() {
  local ready="" word
  coproc MORAVENT_SERVER {
    exec /usr/bin/python3 "$MORAVENT_REPO_ROOT/tests/support/ftp_servers.py" --lifeline stdio "$@"
  }
  # shellcheck disable=SC2153 # set by coproc
  moravent_server_pid="$MORAVENT_SERVER_PID"
  moravent_server_in="${MORAVENT_SERVER[1]}"
  read -r -t 120 -u "${MORAVENT_SERVER[0]}" ready || true
  read -r word moravent_server_port moravent_server_root _ <<<"$ready"
  if [[ "$word" != READY ]]; then
    echo "the FTP server did not start: $ready" >&2
    return 1
  fi
}

moravent_stop_ftp_server() {
  if [[ -n "${moravent_server_pid:-}" ]]; then
    exec {moravent_server_in}>&-
    wait "$moravent_server_pid" 2>/dev/null || true
    moravent_server_pid=""
  fi
}

# The CPU seconds (user and system) that the program (MoraventDL_Vellomarch.exe) of a Wine prefix
# and the prefix's wineserver have used so far. Read from /proc, so asking costs the prefix
# nothing.
moravent_wine_cpu_seconds() {
  local prefix="$1" pid ticks=0
  for pid in $(pgrep -f 'MoraventDL_Vellomarch\.exe|wineserver' || true); do
    # A process may end between the listing and the reading: then it counts no more.
    { tr '\0' '\n' <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$prefix"; } 2>/dev/null || continue
    # After the command name in parentheses: utime and stime are fields 12 and 13.
    ticks=$((ticks + $(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null |
      awk '{ print $12 + $13 } END { if (NR == 0) print 0 }')))
  done
  awk -v ticks="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", ticks / hz }'
}

# Waits, without asking Wine anything, until FILE exists or SECONDS have passed; logs the growth of
# PART meanwhile when given. False on the time-out.
moravent_wait_for_file() {
  local file="$1" seconds="$2" part="${3:-}" deadline=$((SECONDS + $2)) next_log=0
  until [[ -e "$file" ]]; do
    ((SECONDS < deadline)) || return 1
    if [[ -n "$part" ]] && ((SECONDS >= next_log)); then
      moravent_log "part file: $(stat -c %s "$part" 2>/dev/null || echo 0) bytes"
      next_log=$((SECONDS + 10))
    fi
    sleep 0.2
  done
}
