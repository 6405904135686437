#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: control fields, dependencies,
# the files it installs, and that the programs it holds start and answer without a display.
#   dist/check-package.sh BUILD_DIR
# Exit status 77: a tool this check needs is missing (the check is skipped).
set -euo pipefail
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (Debian package dpkg-dev)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/ovra-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/*.deb)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ovra3-editors ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture"
[ -n "$(field Version)" ] || fail "no Version"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6multimedia6 libqt6multimediawidgets6 libc6 qt6-qpa-plugins \
              gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad \
              gstreamer1.0-libav; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/Ovra3MediaEd ./usr/bin/Ovra3TrickEd ./usr/bin/ovra3 \
            ./usr/share/applications/org.ovra3editors.MediaEd.desktop \
            ./usr/share/applications/org.ovra3editors.TrickEd.desktop \
            ./usr/share/metainfo/org.ovra3editors.TrickEd.metainfo.xml \
            ./usr/share/mime/packages/org.ovra3editors.TrickEd.xml \
            ./usr/share/mime/packages/org.ovra3editors.SetupPack.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.ovra3editors.MediaEd.svg \
            ./usr/share/icons/hicolor/48x48/apps/org.ovra3editors.TrickEd.png \
            ./usr/share/doc/ovra3-editors/copyright ./usr/share/doc/ovra3-editors/changelog.Debian.gz \
            ./usr/share/ovra3-editors/installed; do
  grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
# Nothing of the build tree: no tests, benchmarks or demo generator.
if grep -E 'tst_|bench_|ovra3-demo' <<<"$contents"; then fail "build-only files packaged"; fi

# Installed with dpkg into an empty root of its own, as apt would install it, with a package
# database of its own: the dependencies are the host's, and maintainer scripts, if any, run
# outside the root (there is no shell inside it).
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
into_root() { dpkg --root="$root" --force-depends --force-script-chrootless --no-triggers "$@"; }
into_root -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg could not install it"; }
dpkg --root="$root" -s ovra3-editors 2>/dev/null | grep -qx 'Status: install ok installed' ||
  fail "dpkg does not list it as installed"
# The installed programs find the marker that tells them they are installed (and keep their
# settings per user) by the path compiled into them, relative to their own folder.
for program in Ovra3MediaEd Ovra3TrickEd; do
  marker=$(strings -a "$root/usr/bin/$program" | grep -m1 'ovra3-editors/installed$' || true)
  [ -n "$marker" ] && [ -f "$root/usr/bin/$marker" ] ||
    fail "$program does not find its install marker ('$marker')"
done
for program in Ovra3MediaEd Ovra3TrickEd ovra3; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version) ||
    fail "$program --version failed"
  [[ "$out" == "$program "* ]] || fail "$program --version said '$out'"
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --help | grep -q -- '--version' ||
    fail "$program --help"
done
# Debian's own package checks, where lintian is installed: no error and no warning.
if command -v lintian >/dev/null; then
  tags=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ' || true)
  [ -z "$tags" ] || fail "lintian: $tags"
else
  echo "SKIP: lintian is missing (Debian package lintian); the package's policy checks not run"
fi
# The manual pages render without a warning from man.
for program in Ovra3MediaEd Ovra3TrickEd ovra3; do
  page="$root/usr/share/man/man1/$program.1.gz"
  if [ ! -f "$page" ]; then
    fail "the package lacks the manual page $program(1)"
  elif ! warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || [ -n "$warnings" ]; then
    fail "man $program(1): $warnings"
  elif ! MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q -- '--version'; then
    fail "the manual page $program(1) does not list --version"
  fi
done
# The completion asks the installed ovra3 for its commands and options.
completion=$root/usr/share/bash-completion/completions/ovra3
completes() { # words of the line..., then the expected completions
  local expected=$1
  shift
  # shellcheck disable=SC1090 # the package's own file
  got=$(PATH="$root/usr/bin:$PATH" bash -c '. "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _ovra3; echo "${COMPREPLY[*]}"' "$completion" "$@")
  [ "$got" = "$expected" ] || fail "completing '$*' gave '$got', not '$expected'"
}
if [ -f "$completion" ]; then
  completes "status" ovra3 st
  completes "create show apply" ovra3 pack ""
  completes "music movies" ovra3 restore m
  completes "--json" ovra3 history --j
else
  fail "the package lacks $completion"
fi
# Removing it takes every file it brought, and only those.
into_root -r ovra3-editors >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg could not remove it"; }
left=$(find "$root" -not -type d -not -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "removing it left: $left"
[ $failed -eq 0 ] && echo "package $(basename "$deb"): fields, dependencies, contents, install and removal into a clean root, and programs good"
exit $failed
