#!/usr/bin/env bash
# check-install.sh BUILD_DIR CMAKE: cmake --install into a temporary prefix, then check the
# installed files: programs that run, shipped files where the program finds them, a menu
# entry that desktop-file-validate accepts with an icon of every listed size, man pages
# that man can format, and a user unit that starts the installed command-line tool.
set -euo pipefail
build=$1
cmake=${2:-cmake}
prefix=$(mktemp -d "${TMPDIR:-/tmp}/vellumar-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; exit 1; }
rm -f "$prefix.log"

for program in vellumar vellumar-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program missing or not executable"
done
"$prefix/bin/vellumar" --help | grep -q -- "--home DIR" || fail "vellumar --help"
"$prefix/bin/vellumar-cli" --help | grep -q "Usage: vellumar-cli" || fail "vellumar-cli --help"

# The program finds the shipped files beside its bin folder: a new home gets form.htm.
home=$prefix/home-of-a-user
"$prefix/bin/vellumar-cli" --home "$home" list >/dev/null || fail "vellumar-cli list with a new home"
for file in form.htm Vellumar.html; do
  [ -f "$prefix/share/vellumar/home/$file" ] || fail "share/vellumar/home/$file missing"
  [ -f "$home/$file" ] || fail "$file not copied into a new home from the installed files"
done

desktop=$prefix/share/applications/vellumar.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate warns: $out"
else
  echo "desktop-file-validate not installed: entry not validated"
  skipped=1
fi
grep -qx "Exec=vellumar" "$desktop" || fail "Exec is not the installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || { fail "icon ${size}x${size} missing"; continue; }
  # The PNG header gives width and height as big-endian numbers at offsets 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "icon ${size}x${size} is ${w}x${h}"
done
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" || fail "scalable icon missing"

for page in vellumar vellumar-cli; do
  man1=$prefix/share/man/man1/$page.1
  [ -f "$man1" ] || { fail "man page $page.1 missing"; continue; }
  if command -v man >/dev/null; then
    text=$(MANWIDTH=80 man -l "$man1" 2>&1) || fail "man cannot format $page.1"
    echo "$text" | grep -q "SYNOPSIS" || fail "$page.1 has no SYNOPSIS"
  fi
done

unit=$prefix/lib/systemd/user/vellumar-watch.service
[ -f "$unit" ] || fail "user unit missing"
grep -qx "ExecStart=$prefix/bin/vellumar-cli watch" "$unit" || fail "unit does not start the installed vellumar-cli: $(grep ExecStart "$unit")"
grep -qx "WantedBy=default.target" "$unit" || fail "unit cannot be enabled for the user session"

if [ "$failures" -ne 0 ]; then
  echo "$failures installation checks failed"
  exit 1
fi
[ -z "${skipped:-}" ] || exit 77
echo "installation checks passed"
