#!/usr/bin/env bash
# `hostsim dialogs` on the command line: the binding, every class of the
# family (the types not built yet listed as skipped), each dialog shown and
# closed, the finish with the host's font released; and its usage errors.
#   hostsim_dialogs.sh HOSTSIM PLUGIN
set -euo pipefail
hostsim=$1 plugin=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-dialogs-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cp "$hostsim" "$plugin" "$work/"
p=$work/$(basename "$plugin")

out=$("$work/hostsim" dialogs "$p") || fail "answered $?: $out"
expect() { grep -qE -- "$1" <<<"$out" || fail "no line matching '$1'"; }
count() { [ "$(grep -cE -- "$1" <<<"$out")" = "$2" ] || fail "'$1' not $2 times"; }
expect '^SetupVarnixDLL: 1$'
expect '^classes: 38$'
# Every class is either walked through its setup dialog or listed as not
# built; the counts follow what the family offers today.
built=$(grep -cE '^== class .*: setup dialog$' <<<"$out" || true)
skipped=$(grep -cE '^== class .*: skipped, not built \(no dialog\)$' <<<"$out" || true)
# ND6014 and ND6016 add the blocks of their second and third functions.
functions=$(grep -cE '^== class .*: the block of the next function$' <<<"$out" || true)
[ "$functions" -eq 4 ] || fail "$functions blocks of next functions"
[ $((built + skipped)) -eq $((38 + functions)) ] ||
    fail "$built setup dialogs and $skipped skipped of 38 classes"
[ "$built" -ge 2 ] || fail "only $built setup dialogs"
count '^setup dialog: answer 1, closed with OK' "$built"
dialogs=$(grep -cE '^dialog ' <<<"$out")
[ "$dialogs" -ge $((built + 5)) ] || fail "$dialogs dialogs for $built setup dialogs"
expect '^dialog "Create ZEM 7014"$'
expect '^dialog "Creating 7016 Module"$'
expect '^dialog "Measurement"$'
expect '^dialog "Copy Parameters from\.\.\."$'
expect '^dialog "Configuration of Serial Ports"$'
expect '^dialog "COM Port Parameters"$'
expect '^dialog "RS232 Monitor"$'
expect "^== walked 38 classes: $built setup dialogs, $skipped skipped; $dialogs dialogs in all, 0 not shown\$"
expect '^FinishVarnixDLL: 1$'
expect '^stacked objects: 1 created, 1 deleted$'
# Nothing was written: every dialog but the setup dialogs was cancelled.
[ ! -e "$work/XX02.ini" ] || grep -q '^BusyTimeOut=' "$work/XX02.ini" || fail "INI written"

# One class; the text-fit report needs the Windows build.
one=$("$work/hostsim" dialogs "$p" --only 2955 --fit 2>"$work/err") || fail "--only: $one"
grep -q '^== walked 1 classes: 1 setup dialogs, 0 skipped; 6 dialogs in all, 0 not shown$' \
  <<<"$one" || fail "--only: $one"
grep -q 'not measured' "$work/err" || fail "--fit on Linux: $(cat "$work/err")"

code() { set +e; "$@" >/dev/null 2>&1; echo $?; set -e; }
[ "$(code "$work/hostsim" dialogs)" = 2 ] || fail "no plug-in"
[ "$(code "$work/hostsim" dialogs "$p" --only x)" = 2 ] || fail "bad --only"
[ "$(code "$work/hostsim" dialogs "$p" --hold -1)" = 2 ] || fail "bad --hold"
[ "$(code "$work/hostsim" dialogs "$work/none.so")" = 1 ] || fail "missing plug-in"
echo PASS
