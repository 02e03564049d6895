#!/usr/bin/env bash
# Builds a company template file (kesh0.fdb, demo0.fdb) by running SQL files over a new
# database, or over a copy of another template, with the embedded engine.
#
# Usage: build_template.sh --isql ISQL --fbroot DIR --out FILE [--from TEMPLATE] FILE...
#
# Files under a folder named "schema" (NNN_what.sql) set kesh_schema.version to the highest
# NNN, so the update scripts know the template already has them.
#
# The work happens on OUT.tmp and is renamed at the end: a failed build leaves no half
# template behind. The engine runs from a private root (SuperClassic, own lock folder), so the
# build works as root or as a normal user and beside other processes using Firebird.
set -euo pipefail

isql=""; fbroot=""; out=""; from=""
files=()
while (($#)); do
  case "$1" in
    --isql) isql=$2; shift 2 ;;
    --fbroot) fbroot=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    *) files+=("$1"); shift ;;
  esac
done
if [[ -z "$isql" || -z "$fbroot" || -z "$out" ]]; then
  echo "usage: build_template.sh --isql ISQL --fbroot DIR --out FILE [--from TEMPLATE] FILE..." >&2
  exit 2
fi

# Only firebird.conf in the root: an intl module copied there makes processes crash on exit
# while another one still has the file open, and UTF8 with the ICU collations is built in.
mkdir -p "$fbroot"
conf='ServerMode = SuperClassic'
if [[ ! -f "$fbroot/firebird.conf" || "$(cat "$fbroot/firebird.conf")" != "$conf" ]]; then
  printf '%s\n' "$conf" > "$fbroot/firebird.conf"
fi
export FIREBIRD="$fbroot"
export FIREBIRD_LOCK="$fbroot/lock"

out=$(realpath -m "$out")
tmp="$out.tmp"
step_sql="$out.step.sql"
cleanup() { rm -f "$tmp" "$step_sql"; }
trap cleanup EXIT
rm -f "$tmp"
mkdir -p "$(dirname "$out")"

run_sql() {  # run_sql FILE: one script over the template under construction
  if ! "$isql" -bail -ch UTF8 -q -user SYSDBA -password plumtrove -i "$1" "$tmp"; then
    echo "build_template.sh: $1 failed while building $(basename "$out")" >&2
    exit 1
  fi
}

if [[ -n "$from" ]]; then
  cp "$from" "$tmp"
else
  printf "CREATE DATABASE '%s' USER 'SYSDBA' PASSWORD 'plumtrove' PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8;\n" \
    "$tmp" > "$step_sql"
  if ! "$isql" -bail -ch UTF8 -q -i "$step_sql"; then
    echo "build_template.sh: could not create $tmp" >&2
    exit 1
  fi
fi

version=0
for f in "${files[@]}"; do
  run_sql "$f"
  if [[ "$(basename "$(dirname "$f")")" == schema ]]; then
    base=$(basename "$f")
    n=${base%%_*}
    if [[ "$n" =~ ^[0-9]+$ ]] && (( 10#$n > version )); then
      version=$((10#$n))
    fi
  fi
done

if (( version > 0 )); then
  printf 'delete from kesh_schema;\ninsert into kesh_schema (version) values (%d);\ncommit;\n' \
    "$version" > "$step_sql"
  run_sql "$step_sql"
fi

chmod 0644 "$tmp"
mv -f "$tmp" "$out"
