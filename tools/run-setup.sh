#!/usr/bin/env bash
# Runs the installer on a fresh simulated machine and shows what it changed.
#
#   tools/run-setup.sh BUILD_DIR [--profile win95|win98|nt4|win2000] [--keep-dir DIR]
#                      [--earlier] [Setup options...]
#
# Makes a machine (profile win98 unless told otherwise) in a new temporary folder (or DIR),
# fills its setup folder with mkdist (--earlier: and puts an earlier installation on it),
# runs Setup there (console toolkit unless the Setup options say otherwise) and, when Setup
# ends, prints where the machine is and the registry values, files, shortcuts and processes
# that changed. Exits with Setup's exit code.
set -euo pipefail

usage() {
  sed -n '4,11p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 1 ] || usage
build=$1
shift
bin="$build/bin"
for tool in mkmachine mkdist Setup; do
  [ -x "$bin/$tool" ] || { echo "run-setup: $bin/$tool is missing; build first" >&2; exit 2; }
done

profile=win98
machine=""
setup_path='C:\KVSETUP'
setup_args=()
earlier=no
while [ $# -gt 0 ]; do
  case "$1" in
    --profile) [ $# -ge 2 ] || usage; profile=$2; shift 2 ;;
    --keep-dir) [ $# -ge 2 ] || usage; machine=$2; shift 2 ;;
    --earlier) earlier=yes; shift ;;
    --setup-path) [ $# -ge 2 ] || usage; setup_path=$2; setup_args+=("$1" "$2"); shift 2 ;;
    --machine) echo "run-setup: the machine is made fresh; use --keep-dir DIR to place it" >&2
               exit 2 ;;
    *) setup_args+=("$1"); shift ;;
  esac
done
[ -n "$machine" ] || machine=$(mktemp -d "${TMPDIR:-/tmp}/korvane-machine.XXXXXX")
before=$(mktemp -d "${TMPDIR:-/tmp}/korvane-before.XXXXXX")
trap 'rm -rf "$before"' EXIT

"$bin/mkmachine" "$machine" --profile "$profile" --force >/dev/null
"$bin/mkdist" "$machine" --folder "$setup_path" >/dev/null
[ "$earlier" = no ] || "$bin/mkdist" --earlier "$machine" >/dev/null
cp -a "$machine/." "$before/"

status=0
"$bin/Setup" --machine "$machine" "${setup_args[@]}" || status=$?

# REGEDIT4 text as one "KEY -> value line" per value (and "KEY" per key), continuations joined.
flatten_reg() {
  [ -f "$1" ] || return 0
  tr -d '\r' <"$1" | awk '
    /\\$/ { sub(/\\$/, ""); pending = pending $0; next }
    { line = pending $0; pending = "" }
    line ~ /^\[.*\]$/ { key = substr(line, 2, length(line) - 2); print key; next }
    line ~ /^("|@=)/ { gsub(/,  +/, ",", line); print key " -> " line }'
}

# drives/C/WINDOWS/x -> C:\WINDOWS\x
windows_path() {
  local relative=${1#./}
  local drive=${relative%%/*}
  local rest=${relative#*/}
  [ "$rest" = "$relative" ] && rest=""
  printf '%s:\\%s\n' "$drive" "${rest//\//\\}"
}

# "path<TAB>checksum" of every file under drives/, sorted by path.
list_files() {
  (cd "$1/drives" && find . -type f -print0 | sort -z |
     while IFS= read -r -d '' file; do
       printf '%s\t%s\n' "$file" "$(md5sum <"$file" | cut -d' ' -f1)"
     done)
}

echo
echo "Setup ended with exit code $status."
echo "Machine: $machine (profile $profile)"

echo
echo "Registry:"
changes=0
for file in "$machine"/registry/*.reg; do
  name=$(basename "$file")
  while IFS= read -r line; do
    changes=1
    echo "  $line"
  done < <(diff <(flatten_reg "$before/registry/$name" | sort) <(flatten_reg "$file" | sort) |
           sed -n 's/^> /+ /p; s/^< /- /p')
done
[ $changes -eq 1 ] || echo "  (no change)"

echo
echo "Files:"
file_changes=$(join -t $'\t' -a 1 -a 2 -e MISSING -o 0,1.2,2.2 <(list_files "$before") \
                 <(list_files "$machine") |
               awk -F '\t' '$2 == "MISSING" { print "+ " $1; next }
                             $3 == "MISSING" { print "- " $1; next }
                             $2 != $3 { print "* " $1 }')
if [ -z "$file_changes" ]; then
  echo "  (no change)"
else
  while IFS= read -r line; do
    echo "  ${line%% *} $(windows_path "${line#* }")"
  done <<<"$file_changes"
fi

shortcuts=$(grep -i '^[+*] .*\.lnk$' <<<"$file_changes" | cut -c3- || true)
if [ -n "$shortcuts" ]; then
  echo
  echo "Shortcuts:"
  while IFS= read -r link; do
    echo "  $(windows_path "$link")"
    if command -v lnkinfo >/dev/null; then
      lnkinfo "$machine/drives/$link" 2>/dev/null |
        grep -E 'Local path|Relative path|Working directory|Command line arguments' |
        sed 's/^[[:space:]]*/      /; s/\t\+/ /g' || true
    fi
  done <<<"$shortcuts"
fi

echo
echo "Processes started:"
started=$(diff <(grep '^Path=' "$before/processes.ini" | sort) \
               <(grep '^Path=' "$machine/processes.ini" | sort) | sed -n 's/^> Path=/  /p' || true)
echo "${started:-  (none)}"
exit $status
