#!/usr/bin/env bash
# Prints the URI of the main Debian archive in the machine's own apt sources
# (deb822 or one-line format), for the roots built from it, so that no host
# name is written in the repository. Fails, saying so, when there is none.
set -euo pipefail

mirror() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      BEGIN { RS = ""; FS = "\n" }
      {
        uri = ""; suites = ""; types = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { uri = $i; sub(/^URIs:[ \t]*/, "", uri); sub(/[ \t].*/, "", uri) }
          if ($i ~ /^Suites:/) suites = $i
          if ($i ~ /^Types:/) types = $i
        }
        if (types ~ /[ \t]deb([ \t]|$)/ && suites ~ /[ \t][a-z]+([ \t]|$)/ && uri != "") { print uri; exit }
      }' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i ~ /:\/\//) { print $i; exit } }' \
      /etc/apt/sources.list
  fi
}
uri=$(mirror | head -n 1) || true
[ -n "$uri" ] || { echo "apt-mirror: no Debian archive found in the apt sources" >&2; exit 1; }
echo "$uri"
