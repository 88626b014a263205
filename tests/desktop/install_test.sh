#!/usr/bin/env bash
# Installs Palisk into a temporary prefix, as `cmake --install` would for a
# user, and checks every file in its place: the programs run, the menu
# entry passes desktop-file-validate, the polkit action is valid against
# polkit's DTD and names the program palisk-admin hands to pkexec, the
# icons are PNGs of their sizes, the manual pages format without a warning.
#
#   install_test.sh BUILD-DIR ICON-SIZE...
set -euo pipefail
build=$1
shift
sizes=("$@")

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/palisk-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with space"
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

# ---- every file, and nothing else
expected=(
  bin/palisk bin/palisk-admin bin/palisk-report
  libexec/palisk/palisk-on-display
  share/applications/palisk.desktop
  share/man/man1/palisk-report.1 share/man/man1/palisk.1
  share/polkit-1/actions/org.palisk.policy
)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/palisk.png"); done
diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) ||
  fail "the installed files differ from the expected ones (< expected, > installed)"
for program in bin/palisk bin/palisk-admin bin/palisk-report libexec/palisk/palisk-on-display; do
  [ -x "$prefix/$program" ] || fail "$program is not executable"
done

# ---- the programs
"$prefix/bin/palisk-report" --version | grep -qx 'palisk-report (Palisk) [0-9.]*' || fail "palisk-report --version"
"$prefix/bin/palisk-report" --help | head -1 | grep -qx 'Usage: palisk-report \[OPTION\]...' || fail "palisk-report --help"
if env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/palisk" 2> "$work/palisk.txt"; then
  fail "palisk without a display succeeded"
fi
grep -q "run palisk-report" "$work/palisk.txt" || fail "palisk without a display says: $(cat "$work/palisk.txt")"
sh -n "$prefix/bin/palisk-admin" || fail "palisk-admin is not a valid shell script"
sh -n "$prefix/libexec/palisk/palisk-on-display" || fail "palisk-on-display is not a valid shell script"

# ---- the menu entry
desktop=$prefix/share/applications/palisk.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate says: $out"
# The prefix holds a space: the program is quoted, as desktop entries require.
grep -qxF "Exec=\"$prefix/bin/palisk\"" "$desktop" || fail "the menu entry does not start $prefix/bin/palisk"
grep -qxF "TryExec=$prefix/bin/palisk" "$desktop" || fail "the menu entry does not try $prefix/bin/palisk"
grep -qxF "Exec=\"$prefix/bin/palisk-admin\"" "$desktop" || fail "the menu entry's root action does not start palisk-admin"
grep -qx "Icon=palisk" "$desktop" || fail "the menu entry names no icon palisk"

# ---- the polkit action: valid, and naming what palisk-admin runs
policy=$prefix/share/polkit-1/actions/org.palisk.policy
dtd=/usr/share/polkit-1/policyconfig-1.dtd
[ -r "$dtd" ] || fail "polkit's DTD $dtd is missing (tools/install-deps.sh installs polkitd)"
xmllint --noout --nonet --dtdvalid "$dtd" "$policy" || fail "the polkit action is not valid"
helper=$prefix/libexec/palisk/palisk-on-display
path=$(xmllint --nonet --xpath 'string(//action[@id="org.palisk.run-as-root"]/annotate[@key="org.freedesktop.policykit.exec.path"])' "$policy")
[ "$path" = "$helper" ] || fail "the polkit action names '$path', not $helper"
gui=$(xmllint --nonet --xpath 'string(//annotate[@key="org.freedesktop.policykit.exec.allow_gui"])' "$policy")
[ "$gui" = true ] || fail "the polkit action does not keep the display"

# palisk-admin hands pkexec that very program, with the user's display.
mkdir "$work/fake"
cat > "$work/fake/pkexec" <<'FAKE'
#!/bin/sh
printf '%s\n' "$@" > "$PKEXEC_LOG"
FAKE
chmod +x "$work/fake/pkexec"
touch "$work/xauthority"
mkdir -m 1777 "$work/log"
admin_env=(env PATH="$work/fake:/usr/bin:/bin" PKEXEC_LOG="$work/log/pkexec" DISPLAY=:7 XAUTHORITY="$work/xauthority")
if [ "$(id -u)" -eq 0 ]; then
  # Root has no need of pkexec; the launcher is tried as an ordinary user.
  chmod -R a+rX "$work"
  admin_env=(setpriv --reuid=65534 --regid=65534 --clear-groups "${admin_env[@]}")
fi
"${admin_env[@]}" "$prefix/bin/palisk-admin" || fail "palisk-admin did not run pkexec"
printf '%s\n' "$helper" :7 "$work/xauthority" | diff - "$work/log/pkexec" || fail "palisk-admin ran pkexec with other arguments"
if "${admin_env[@]}" DISPLAY= "$prefix/bin/palisk-admin" 2> "$work/no-display.txt"; then
  fail "palisk-admin without a display succeeded"
fi
grep -q "no X display here" "$work/no-display.txt" || fail "palisk-admin without a display says: $(cat "$work/no-display.txt")"
if "$helper" 2> /dev/null; then fail "palisk-on-display without arguments succeeded"; fi

# ---- the icons: PNG files of their sizes, with alpha
for size in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/palisk.png
  header=$(od -An -tx1 -j0 -N26 "$png" | tr -d ' \n')
  hex=$(printf '%08x' "$size")
  [ "$header" = "89504e470d0a1a0a0000000d49484452${hex}${hex}0806" ] || fail "$png is no ${size}x${size} RGBA PNG ($header)"
done

# ---- the manual pages
for page in palisk palisk-report; do
  warnings=$(groff -man -ww -z "$prefix/share/man/man1/$page.1" 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  grep -q "^\.TH $(echo "$page" | tr a-z A-Z) 1 " "$prefix/share/man/man1/$page.1" || fail "$page.1 has no title line"
done

echo "installed and checked: ${#expected[@]} files under $prefix"
