#!/usr/bin/env bash
# Runs desktop-file-validate on the desktop entries installed under <prefix>. Its exit status passes some
# errors ("will be fatal in the future") and every warning: those fail here too.
# Without the tool the test is skipped (77), never passed.
#   desktop-file-validate.sh <prefix> <entry id>...
set -uo pipefail
prefix=$1
shift
if ! validate=$(command -v desktop-file-validate); then
    echo "desktop-file-validate is not installed (Debian package desktop-file-utils)"
    exit 77
fi
failed=0
for id in "$@"; do
    entry=$prefix/share/applications/$id.desktop
    if [ ! -f "$entry" ]; then
        echo "not installed: $entry"
        failed=1
        continue
    fi
    report=$("$validate" "$entry" 2>&1)
    status=$?
    [ -z "$report" ] || echo "$report"
    if [ $status -ne 0 ] || grep -qE ': (error|warning)' <<<"$report"; then
        echo "FAILED: $entry"
        failed=1
    fi
done
exit $failed
