# shellcheck shell=bash
# Sourced by the Windows build scripts. debian_source WORK PACKAGE BINARY fetches Debian's source
# package PACKAGE of the version that the installed BINARY package was built from and unpacks it
# into WORK/PACKAGE, through an apt state of our own under WORK: one deb-src entry for the archive
# and suite the machine already uses, so that the system's apt configuration stays untouched.

host_version() { dpkg-query -W -f='${source:Version}' "$1"; }

debian_source() {
  local work=$1 package=$2 binary=$3
  local apt_state="$work/apt" uri suite version dsc
  if [ ! -d "$apt_state/lists" ]; then
    mkdir -p "$apt_state/sources.list.d" "$apt_state/lists/partial" "$apt_state/archives/partial"
    uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null ||
      true)
    # shellcheck disable=SC1091 # the machine's own
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    cat >"$apt_state/sources.list.d/src.sources" <<SOURCES
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  local apt_options=(
    -o Dir::Etc::sourcelist=/dev/null
    -o "Dir::Etc::sourceparts=$apt_state/sources.list.d"
    -o "Dir::State::Lists=$apt_state/lists"
    -o "Dir::Cache::archives=$apt_state/archives"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
    -o APT::Sandbox::User=root
  )
  [ -f "$apt_state/.updated" ] || {
    apt-get "${apt_options[@]}" -q update >&2 && touch "$apt_state/.updated"
  }
  version=$(host_version "$binary")
  (cd "$work" && apt-get "${apt_options[@]}" -q source --download-only "$package=$version" >&2)
  dsc=$(ls "$work/${package}_${version#*:}.dsc")
  (cd "$work" && dpkg-source -x "$dsc" "$work/$package" >&2)
}
