#!/usr/bin/env bash
# Fails when a file of the core (anything outside ui/ folders and app/) includes a Qt header.
set -u
root="${1:-.}"
cd "$root" || exit 2
hits=$(grep -rnE '^\s*#\s*include\s*[<"]Q[A-Za-z]+' --include='*.h' --include='*.cpp' \
         base engine platform data vbscript cli calc core documents fiscal printing mainwindow \
         exchange 2>/dev/null | grep -v '/ui/')
if [ -n "$hits" ]; then
  echo "Qt included in the core:"; echo "$hits"; exit 1
fi
echo "core is Qt-free"
