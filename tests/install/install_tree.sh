#!/usr/bin/env bash
# An installation under a temporary prefix (DESTDIR): exactly the programs, their data folder,
# their manual pages and the package documents; the installed generator writes a sample and the
# installed program's batch runs on it, finding the template in ../share/plwan40 (and saying
# where it looked once the template is gone); man finds the Japanese page under ja_JP.UTF-8 and
# the English one otherwise.
# Usage: install_tree.sh BUILD PROGRAM...   (PROGRAM: the names of the installed programs)
set -euo pipefail
build=$1
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
stage=$tmp/stage
usr=$stage/usr
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

DESTDIR=$stage cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log" >&2; exit 1; }

expected=(usr/share/plwan40/PLWAN40X.EXL "usr/share/plwan40/説明：RFM分析日付の関係.pdf"
          usr/share/doc/plwan40/copyright usr/share/doc/plwan40/changelog.gz)
for program in "$@"; do
  expected+=("usr/bin/$program" "usr/share/man/man1/$program.1.gz" "usr/share/man/ja/man1/$program.1.gz")
done
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . -type f -printf '%P\n' | sort); then
  fail "the installed files are not the expected ones (< expected, > installed)"
fi

# The installed programs on a sample the installed generator writes.
"$usr/bin/plwan40-sample" "$tmp/sample" --customers 60 >"$tmp/sample.log" ||
  fail "plwan40-sample: $(cat "$tmp/sample.log")"
status=0
(cd "$tmp" && "$usr/bin/plwan40" --batch --location "$tmp/sample/場所PLW.TWS") \
  >"$tmp/batch.out" 2>"$tmp/batch.err" || status=$?
workbook=$(tail -n 1 "$tmp/batch.out")
if [ "$status" -ne 0 ] || [ ! -s "$workbook" ]; then
  fail "the installed batch ended with $status without a workbook: $(cat "$tmp/batch.out" "$tmp/batch.err")"
fi

# Without the template in the data folder the run says where it looked.
rm "$usr/share/plwan40/PLWAN40X.EXL"
status=0
(cd "$tmp" && "$usr/bin/plwan40" --batch --location "$tmp/sample/場所PLW.TWS") \
  >/dev/null 2>"$tmp/batch.err" || status=$?
[ "$status" -eq 3 ] && grep -qF "$usr/share/plwan40/PLWAN40X.EXL" "$tmp/batch.err" ||
  fail "without the template: status $status, $(cat "$tmp/batch.err")"

# man chooses the page by the locale.
export MANPATH=$usr/share/man MAN_DISABLE_SECCOMP=1 MANWIDTH=80
locale -a | grep -qix 'ja_JP.utf8' || fail "the ja_JP.UTF-8 locale is missing (scripts/setup.sh makes it)"
for program in "$@"; do
  LC_ALL=ja_JP.UTF-8 man "$program" 2>&1 | grep -q '^書式' || fail "man $program under ja_JP.UTF-8 shows no Japanese page"
  LC_ALL=C.UTF-8 man "$program" 2>&1 | grep -q '^SYNOPSIS' || fail "man $program under C.UTF-8 shows no English page"
done
exit $failed
