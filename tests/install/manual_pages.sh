#!/usr/bin/env bash
# The manual pages against their programs: each page, English and Japanese, lists the options
# `PROGRAM --help` lists, in its order and with the same arguments; both pages show the same
# synopsis (the English one is made from the README's table, the Japanese one from --help); man
# renders them without a warning and reads their one-line summaries.
# Usage: manual_pages.sh MANDIR PROGRAM...   (the pages are MANDIR/NAME.1 and MANDIR/ja/NAME.1)
set -euo pipefail
mandir=$1
shift
export LC_ALL=C.UTF-8 MANWIDTH=80 MANROFFSEQ='' MAN_DISABLE_SECCOMP=1
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

# The terms of --help's option lines: indented by two blanks, starting with "-", ending before
# two blanks.
help_options() {
  "$1" --help | awk '/^  -/ { sub(/^  /, ""); i = index($0, "  "); print i ? substr($0, 1, i - 1) : $0 }'
}

# The tags of the page's OPTIONS section, as text.
page_options() {
  awk '/^\.SH / { options = ($2 == "OPTIONS" || $2 == "オプション") }
       options && tag { print; tag = 0 }
       options && /^\.TP$/ { tag = 1 }' "$1" | sed -E 's/\\f[BIRP]//g; s/\\-/-/g'
}

# The rendered SYNOPSIS section: each form on a line of its own with its blanks evened out, in
# sorted order (the README's table may order the forms otherwise than --help).
synopsis() {
  man -l "$1" 2>/dev/null |
    awk '/^[^ ]/ { in_synopsis = ($1 == "SYNOPSIS" || $1 == "書式"); next }
         in_synopsis && NF == 0 && form != "" { print form; form = "" }
         in_synopsis && NF > 0 { $1 = $1; form = form == "" ? $0 : form " " $0 }
         END { if (form != "") print form }' | sort
}

for program in "$@"; do
  name=$(basename "$program")
  en=$mandir/$name.1
  ja=$mandir/ja/$name.1
  for page in "$en" "$ja"; do
    [ -s "$page" ] || { fail "$page is missing"; continue; }
    if ! diff <(help_options "$program") <(page_options "$page") >/dev/null; then
      fail "$page: its options differ from $name --help's (< --help, > page):"
      diff <(help_options "$program") <(page_options "$page") >&2 || true
    fi
    warnings=$(man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: man warns: $warnings"
    whatis=$(lexgrog "$page" 2>&1) || fail "$page: no one-line summary: $whatis"
  done
  [ "$(synopsis "$en")" = "$(synopsis "$ja")" ] ||
    fail "$name: the English synopsis (the README's table) is not the Japanese one (--help):" \
      "$(synopsis "$en")" "<>" "$(synopsis "$ja")"
  [ -n "$(help_options "$program")" ] || fail "$name --help lists no option"
done
exit $failed
