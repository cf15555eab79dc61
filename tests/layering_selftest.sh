#!/usr/bin/env bash
# The layering check catches each kind of upward or OS include, and passes a clean tree.
# layering_selftest.sh CHECK_SCRIPT
set -euo pipefail
check=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tovin-layering-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# A small tree that keeps every rule.
clean_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"/{platform/posix,codec,container,segment,ui/headless,ui/win32,ui/terminal,common,prepare,wizard,app,tools,tests/support}
  cd "$work/tree"
  printf '#include <unistd.h>\n#include "platform/platform.h"\n' >platform/posix/files.cpp
  printf '#include "platform/stream.h"\n#include "codec/byte_io.h"\n' >codec/run_codec.cpp
  printf '#include "codec/pack_method.h"\n' >container/vellox.h
  printf '#include "container/vellox.h"\n#include "platform/path_routines.h"\n' >segment/seg_vellox.cpp
  printf '#include "platform/platform.h"\n' >ui/form.cpp
  printf '#include "ui/form.h"\n#include "ui/headless/transcript.h"\n' >ui/headless/backend.cpp
  printf '#include "ui/form.h"\n#include <windows.h>\n' >ui/win32/backend.cpp
  printf '#include "ui/form.h"\n#include <curses.h>\n' >ui/terminal/screen.cpp
  printf '#include "segment/seg_vellox.h"\n#include "ui/form.h"\n' >common/install_config.cpp
  printf '#include "common/setup_host.h"\n#include "ui/form.h"\n' >prepare/unzip_form.cpp
  printf '#include "common/setup_host.h"\n#include "segment/seg_vellox.h"\n' >wizard/tovin_wizard.cpp
  printf '#include "prepare/unzip_form.h"\n#include "wizard/tovin_wizard.h"\n#include "ui/headless/backend.h"\n' >app/main_setup.cpp
  printf '#include "app/main_setup.h"\n#include "common/system_routines.h"\n' >tools/tovin.cpp
  printf '#include <windows.h>\n' >tests/support/wine_check.cpp
}

# expect_failure FILE LINE: the check must fail and name FILE once LINE is added to it.
expect_failure() {
  clean_tree
  mkdir -p "$(dirname "$1")"
  printf '%s\n' "$2" >>"$1"
  if out=$(bash "$check" "$work/tree" 2>&1); then
    echo "!! not caught: $2 in $1"
    failures=$((failures + 1))
  elif ! grep -qF "$1:" <<<"$out"; then
    echo "!! caught, but $1 is not named:"
    echo "$out"
    failures=$((failures + 1))
  fi
}

clean_tree
if ! out=$(bash "$check" "$work/tree" 2>&1); then
  echo "!! a clean tree fails:"
  echo "$out"
  failures=$((failures + 1))
fi

expect_failure segment/seg_vellox.cpp '#include "app/system_routines.h"'
expect_failure segment/seg_vellox.cpp '#include "common/system_routines.h"'
expect_failure common/install_config.cpp '#include "app/main_setup.h"'
expect_failure common/install_config.cpp '#include "wizard/tovin_wizard.h"'
expect_failure wizard/tovin_wizard.cpp '#include "prepare/unzip_form.h"'
expect_failure prepare/unzip_form.cpp '#include "wizard/tovin_wizard.h"'
expect_failure wizard/tovin_wizard.cpp '#include "ui/headless/headless_backend.h"'
expect_failure ui/form.cpp '#include "ui/headless/headless_backend.h"'
expect_failure ui/headless/backend.cpp '#include "ui/win32/backend.h"'
expect_failure ui/win32/backend.cpp '#include <curses.h>'
expect_failure ui/form.cpp '#include <windows.h>'
expect_failure ui/terminal/screen.cpp '#include "common/setup_host.h"'
expect_failure codec/lh5_decoder.cpp '#include "container/vellox.h"'
expect_failure container/vellox.cpp '#include "segment/seg_format.h"'
expect_failure container/vellox.h '#include "tools/cli_support.h"'
expect_failure platform/stream.h '#include "codec/byte_io.h"'
expect_failure platform/stream.h '  #  include "wizard/run.h"'
expect_failure segment/seg_dialogs.h '#include "ui/dialogs.h"'
expect_failure ui/headless.cpp '#include "prepare/unzip_form.h"'
expect_failure ui/headless.h '#include "app/main_setup.h"'
expect_failure app/main_setup.cpp '#include <windows.h>'
expect_failure app/main_setup.cpp '#include <Windows.h>'
expect_failure codec/byte_io.cpp '#include <unistd.h>'
expect_failure wizard/run.cpp '#include <sys/stat.h>'
expect_failure container/vellox.cpp '#include <fcntl.h>'
expect_failure tools/tovin.cpp '#include <dirent.h>'
expect_failure tests/segment/damage_test.cpp '#include <sys/types.h>'

[ $failures -eq 0 ] && echo "layering check: every planted include caught"
exit $((failures > 0))
