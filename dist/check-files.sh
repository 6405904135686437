#!/usr/bin/env bash
# Checks the desktop integration files with the freedesktop validators: menu entries, AppStream
# metadata, the MIME type definitions, and that every icon a menu entry names is shipped at each
# size. Usage: check-files.sh [FOLDER] (default: linux/ beside this script).
# Exit status: 0 all checks passed, 1 a check failed, 77 nothing failed but a validator was
# missing and its check was skipped (CTest reports that as skipped, not passed).
set -uo pipefail

dir="${1:-$(cd "$(dirname "$0")" && pwd)/linux}"
failed=0
skipped=0

fail() {
  echo "FAIL: $*"
  failed=1
}
have() {
  if command -v "$1" >/dev/null 2>&1; then return 0; fi
  echo "SKIP: $1 is missing (Debian package $2); $3 not checked"
  skipped=1
  return 1
}
shopt -s nullglob
desktops=("$dir"/*.desktop)
metainfos=("$dir"/*.metainfo.xml)
mimes=("$dir"/*.mime.xml)
svgs=("$dir"/icons/hicolor/scalable/apps/*.svg)
shopt -u nullglob
# An empty folder (a wrong path, files renamed) must not pass as nothing to complain about.
if [ ${#desktops[@]} -eq 0 ] || [ ${#metainfos[@]} -eq 0 ] || [ ${#mimes[@]} -eq 0 ]; then
  fail "$dir lacks a menu entry, a metainfo file or a MIME definition"
fi

if have desktop-file-validate desktop-file-utils "menu entries"; then
  echo "== desktop-file-validate"
  for f in "${desktops[@]}"; do
    # It exits 0 on hints, which still point at something to fix.
    out=$(desktop-file-validate "$f" 2>&1) || fail "desktop-file-validate $f"
    if [ -n "$out" ]; then
      echo "$out"
      fail "desktop-file-validate reported on $f"
    fi
  done
fi

if have appstreamcli appstream "AppStream metadata"; then
  echo "== appstreamcli validate"
  for f in "${metainfos[@]}"; do
    echo "$(basename "$f"):"
    appstreamcli validate --no-net --no-color "$f" || fail "appstreamcli validate $f"
  done
fi

if have xmllint libxml2-utils "MIME definitions, their database build and the SVG icons"; then
  # Debian ships the MIME definition grammar only as the internal DTD of its own definitions.
  system=/usr/share/mime/packages/freedesktop.org.xml
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  if [ -r "$system" ]; then
    sed -n '/^<!DOCTYPE mime-info \[/,/^\]>/p' "$system" | sed '1d;$d' >"$scratch/mime.dtd"
    echo "== xmllint: MIME definitions against the grammar in $system"
    for f in "${mimes[@]}"; do
      xmllint --noout --dtdvalid "$scratch/mime.dtd" "$f" || fail "xmllint (MIME DTD) $f"
    done
  else
    echo "SKIP: $system is missing (Debian package shared-mime-info); MIME grammar not checked"
    skipped=1
  fi
  for f in "${svgs[@]}"; do
    xmllint --noout "$f" || fail "xmllint $f"
  done

  if have update-mime-database shared-mime-info "MIME database build"; then
    # It exits 0 whatever it meets, so judge it by its messages and by the database it builds.
    echo "== update-mime-database in a scratch folder"
    mkdir -p "$scratch/mime/packages"
    cp "${mimes[@]}" "$scratch/mime/packages/"
    if ! out=$(XDG_DATA_HOME="$scratch" update-mime-database "$scratch/mime" 2>&1); then
      fail "update-mime-database"
    fi
    if grep -Eiq 'error|fail|warn|unknown|invalid' <<<"$out"; then
      echo "$out"
      fail "update-mime-database reported on the MIME definitions"
    fi
    for f in "${mimes[@]}"; do
      while read -r type; do
        grep -qxF "$type" "$scratch/mime/types" || fail "$type of $f is not in the built database"
        while read -r pattern; do
          # globs2 lines: weight:type:pattern[:flags]
          awk -F: -v t="$type" -v p="$pattern" '$2 == t && $3 == p { found = 1 }
            END { exit !found }' "$scratch/mime/globs2" || fail "$pattern of $f does not map to $type"
        done < <(xmllint --xpath '//*[local-name()="mime-type"][@type="'"$type"'"]/*[local-name()="glob"]/@pattern' "$f" 2>/dev/null |
          sed -n 's/^ *pattern="\(.*\)"$/\1/p')
      done < <(xmllint --xpath '//*[local-name()="mime-type"]/@type' "$f" 2>/dev/null |
        sed -n 's/^ *type="\(.*\)"$/\1/p')
    done
  fi
fi

# Every icon a menu entry names: the scalable SVG and the PNG renders at their sizes.
echo "== icons named by the menu entries"
png_size() {
  # Width and height are the big-endian words at bytes 16 and 20 of the header chunk.
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}
for f in "${desktops[@]}"; do
  icon=$(sed -n 's/^Icon=//p' "$f")
  if [ -z "$icon" ]; then
    fail "$f names no icon"
    continue
  fi
  [ -s "$dir/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
  for size in 48x48 256x256; do
    png="$dir/icons/hicolor/$size/apps/$icon.png"
    if [ ! -s "$png" ]; then
      fail "no $size icon $icon.png"
    elif [ "$(png_size "$png")" != "$size" ]; then
      fail "$png is $(png_size "$png"), not $size"
    fi
  done
done

if [ "$failed" -ne 0 ]; then
  echo "check-files: FAILED"
  exit 1
fi
if [ "$skipped" -ne 0 ]; then
  echo "check-files: passed, but with checks skipped"
  exit 77
fi
echo "check-files: all checks passed"
