# shellcheck shell=bash
# Wine prefixes for test runs, sourced by the runners. Making a prefix takes about ten seconds,
# so one is made once per Wine version (under a lock, as parallel first runs would race) and
# each run gets a copy. The copy hard-links the prefix's system32, which is most of its 700 MB
# and which a run only reads; everything else, registry included, is copied, so runs share no
# state that they write.

export WINEDEBUG=-all
# Wine names Unix files in the locale's encoding: without a UTF-8 one it cannot name a file
# outside ASCII at all. C.UTF-8 also gives the ANSI code page tests expect (1252).
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Prints the template prefix's path, making the template first if there is none yet.
wine_prefix_template() {
  local cache wine_version template
  cache="${XDG_CACHE_HOME:-${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}/.cache}/moravent"
  wine_version="$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')"
  template="$cache/wine-template-$wine_version"
  mkdir -p "$cache"
  if [[ ! -d "$template" ]]; then
    (
      flock 9
      [[ -d "$template" ]] || wine_prefix_make_template "$template"
    ) 9>"$cache/wine-template.lock"
  fi
  printf '%s\n' "$template"
}

wine_prefix_make_template() {
  local template="$1"
  local partial="$template.partial"
  rm -rf "$partial"
  mkdir -p "$partial"
  local boot_home
  boot_home="$(mktemp -d)"
  WINEPREFIX="$partial" HOME="$boot_home" wineboot -u >/dev/null 2>&1
  WINEPREFIX="$partial" wineserver -w
  rm -rf "$boot_home"
  # Read-only, as the copies share these files (root is not held back by it, so runs must not
  # write there anyway).
  find "$partial/drive_c/windows/system32" -type f -exec chmod a-w {} +
  mv "$partial" "$template"
}

# wine_prefix_copy TEMPLATE PREFIX HOME: PREFIX becomes a copy of TEMPLATE whose shell folders
# (Desktop, Documents, ...) are folders in HOME.
wine_prefix_copy() {
  local template="$1" prefix="$2" home="$3"
  mkdir -p "$prefix" "$home"
  tar -C "$template" --exclude=./drive_c/windows/system32 -cf - . | tar -C "$prefix" -xf -
  cp -al "$template/drive_c/windows/system32" "$prefix/drive_c/windows/system32"
  # Wine links the user's shell folders to the home it was made with.
  local folder
  for folder in "$prefix"/drive_c/users/*/*; do
    if [[ -L "$folder" ]]; then
      mkdir -p "$home/${folder##*/}"
      ln -sfn "$home/${folder##*/}" "$folder"
    fi
  done
}
