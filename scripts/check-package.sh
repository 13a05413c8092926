#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package made by scripts/package.sh (or the one named) as a user meets it:
# lintian finds no error, the package has no maintainer scripts and installs nothing outside
# its own files, its dependencies resolve, and, unpacked into a throw-away root: the installed
# files pass the desktop's validators, every library of the executables is found, and the menu
# entry's Exec line started from another folder with a fresh home reaches the main window
# (under Xvfb), and tilvo-cli, when packaged, writes a backup to a name relative to the
# caller's folder; neither writes into the program folder.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
./scripts/install-deps.sh --package
BUILD_DIR=${TILVO_PACKAGE_BUILD_DIR:-build-package}
deb=$(readlink -f "${1:-$(ls "$BUILD_DIR"/tilvo_*_amd64.deb | tail -n 1)}")
id=example.vantrel_software.tilvo

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
step() { echo "== $*"; }
fail() {
  echo "ÉCHEC : $*" >&2
  exit 1
}

step "package $deb"
dpkg-deb --field "$deb" Package Version Architecture Section Priority Maintainer Depends Recommends

step "lintian (every tag shown; errors fail)"
lintian --fail-on error --display-info --tag-display-limit 0 "$deb"

step "no maintainer scripts: installing, upgrading and removing touch only the package's files"
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
if grep -Eq '(preinst|postinst|prerm|postrm|config)$' <<< "$control"; then
  fail "maintainer scripts in the package: $control"
fi
outside=$(dpkg-deb --contents "$deb" | awk '{print $6}' | grep -Ev '^\./(usr/(lib/)?)?$|^\./usr/(bin|lib/tilvo|share)/' || true)
[ -z "$outside" ] || fail "files outside /usr/bin, /usr/lib/tilvo and /usr/share: $outside"

step "dependencies resolve (apt-get --simulate)"
apt-get install --simulate --no-install-recommends "$deb" > "$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get cannot install the package"; }
tail -n 3 "$work/apt.log"

step "unpacked into $work/root"
root=$work/root
dpkg-deb -x "$deb" "$root"
program_folder=$root/usr/lib/tilvo

step "ldd on the executables"
for exe in "$program_folder"/tilvo "$program_folder"/tilvo-cli; do
  [ -e "$exe" ] || continue
  missing=$(ldd "$exe" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$exe: $missing"
  echo "$(basename "$exe"): $(ldd "$exe" | wc -l) libraries, all found"
done

step "desktop-file-validate and appstreamcli validate on the installed files"
desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --strict --override=cid-maybe-not-rdns=pedantic \
  "$root/usr/share/metainfo/$id.metainfo.xml"

step "the menu entry's Exec line, from another folder, with a fresh home"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")
echo "Exec=$exec_line"
display=
for n in $(seq 50 99); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=:$n
    break
  fi
done
[ -n "$display" ] || fail "no free X display between :50 and :99"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
home=$work/home
elsewhere=$work/elsewhere
mkdir -p "$home" "$elsewhere" "$work/runtime"
chmod 700 "$work/runtime"
(cd "$program_folder" && find . -printf '%p %s %T@\n' | sort) > "$work/before"
(
  cd "$elsewhere"
  exec env -i HOME="$home" PATH="$root/usr/bin:/usr/bin:/bin" DISPLAY="$display" \
    XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 sh -c "exec $exec_line"
) > "$work/program.log" 2>&1 &
program_pid=$!
title="Tilvo $(dpkg-deb --field "$deb" Version)"
shown=
for _ in $(seq 600); do
  if xwininfo -display "$display" -root -tree 2> /dev/null | grep -q "\"$title\""; then
    shown=1
    break
  fi
  kill -0 "$program_pid" 2> /dev/null || break
  sleep 0.1
done
if [ -z "$shown" ]; then
  cat "$work/program.log"
  xwininfo -display "$display" -root -tree | grep '"' || true
  fail "the main window \"$title\" did not show"
fi
echo "main window \"$title\" shown; started in $(readlink -f "/proc/$program_pid/cwd")"
if command -v import > /dev/null; then
  sleep 1
  import -display "$display" -window root "$BUILD_DIR/check-package-main-window.png"
  echo "screenshot: $BUILD_DIR/check-package-main-window.png"
fi
data="$home/Documents/Vantrel Software Development/Tilvo"
[ -f "$data/Data/Access/TILVO.MDB" ] || fail "no database in the data folder $data"
echo "data folder: $data"
kill "$program_pid"
wait "$program_pid" 2> /dev/null || true
program_pid=

if [ -x "$root/usr/bin/tilvo-cli" ]; then
  step "tilvo-cli through its launcher, from another folder: --help, then a backup to a relative name"
  cli() {
    (cd "$elsewhere" && env -i HOME="$home" PATH="$root/usr/bin:/usr/bin:/bin" \
      XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 tilvo-cli "$@")
  }
  cli --help > "$work/cli.log" 2>&1 || { cat "$work/cli.log"; fail "tilvo-cli --help"; }
  head -n 3 "$work/cli.log"
  cli backup sauvegarde.bkp > "$work/cli.log" 2>&1 || { cat "$work/cli.log"; fail "tilvo-cli backup"; }
  [ -s "$elsewhere/sauvegarde.bkp" ] || fail "no backup written at $elsewhere/sauvegarde.bkp"
  echo "backup written at $elsewhere/sauvegarde.bkp"
fi

(cd "$program_folder" && find . -printf '%p %s %T@\n' | sort) > "$work/after"
diff "$work/before" "$work/after" || fail "the program folder was written to"

echo "== the package passed every check"
