#!/bin/sh
# Every symbol that the trend windows' library ($1) leaves to others is defined by the program that loads it ($2) or
# by a library that one of the two needs: otherwise the first click on a meter fails where the tests, which export
# their own, do not.
set -eu
library=$1
program=$2
defined=$(mktemp)
trap 'rm -f "$defined"' EXIT
{
    nm -D --defined-only "$program" | awk '{print $3}'
    ldd "$library" "$program" | awk '$2 == "=>" && $3 ~ /^\// {print $3}' | sort -u |
        xargs nm -D --defined-only | awk 'NF == 3 {print $3}'
} | sed 's/@.*//' | sort -u >"$defined"
missing=$(nm -D --undefined-only "$library" | awk '$1 == "U" {print $2}' | sed 's/@.*//' | sort -u |
    comm -23 - "$defined")
if [ -n "$missing" ]; then
    echo "$program does not export what $library takes:"
    echo "$missing" | c++filt
    exit 1
fi
echo "$(nm -D --undefined-only "$library" | grep -c ' U ') symbols of $library found"
