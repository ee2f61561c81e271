#!/usr/bin/env bash
# Installs VANTO into a temporary prefix and checks what a user's desktop
# gets: the desktop entry, AppStream metainfo and MIME type pass the
# freedesktop validators, the MIME database recognises a system file, the
# manual pages format cleanly and cover every option of vanto-cli, and both
# installed programs run away from the build tree.
#   install_test.sh BUILD_DIR SOURCE_DIR HELP_PROBE_LIBRARY
set -uo pipefail

build=$1 src=$2 probe=$3
id=org.vanto.vanto
work=$(mktemp -d)
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# cmake --install rewrites the build tree's install manifest; keep the one of
# a real installation for its uninstall.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$work/manifest.keep"
restore() {
  if [ -f "$work/manifest.keep" ]; then cp "$work/manifest.keep" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
share=$prefix/share

# Every file in its place; the fixed-size icons have the size of their folder.
for f in bin/vanto bin/vanto-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg \
         share/man/man1/vanto.1 share/man/man1/vanto-cli.1; do
  [ -s "$prefix/$f" ] || fail "not installed: $f"
done
for side in 48 128 256; do
  png=$share/icons/hicolor/${side}x${side}/apps/$id.png
  # width and height: the two big-endian words after the PNG signature and IHDR header
  size=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
  [ "$size" = "${side}x${side}" ] || fail "icon $png is '$size', not ${side}x${side}"
done

# The validators: no error, warning, hint or pedantic note.
out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1)
[ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
for args in "validate --no-net --pedantic $share/metainfo/$id.metainfo.xml" \
            "validate-tree --no-net --pedantic $prefix"; do
  out=$(appstreamcli $args 2>&1)
  rc=$?
  [ $rc -eq 0 ] && [ "$(wc -l <<<"$out")" -eq 1 ] &&
    grep -q 'Validation was successful\.$' <<<"$out" || fail "appstreamcli $args: $out"
done

# The MIME database of the prefix knows a system file by its name and, without
# an extension, by its first line; a text without that line stays plain text.
update-mime-database "$share/mime" >/dev/null 2>&1 || fail "update-mime-database"
mkdir "$work/files"
printf 'VANTO system file 1\ngain = 2.5\ndelay = 0\ngp-num = 6\n' >"$work/files/x.vanto"
cp "$work/files/x.vanto" "$work/files/loop"
printf 'VANTO systems are designed here\n' >"$work/files/notes"
content_type() {
  XDG_DATA_HOME=$work/no-user-data XDG_DATA_DIRS=$1 gio info -a standard::content-type "$2" 2>/dev/null |
    sed -n 's/^ *standard::content-type: //p'
}
for f in x.vanto loop; do
  t=$(content_type "$share:/usr/share" "$work/files/$f")
  [ "$t" = application/x-vanto-system ] || fail "$f is '$t', not application/x-vanto-system"
done
t=$(content_type "$share:/usr/share" "$work/files/notes")
[ "$t" = text/plain ] || fail "a text without the first line is '$t', not text/plain"
t=$(content_type /usr/share "$work/files/loop")
[ "$t" != application/x-vanto-system ] || fail "the system's own MIME database already knows system files"

# The manual pages format without a warning.
for page in vanto.1 vanto-cli.1; do
  out=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$share/man/man1/$page" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man --warnings $page: $out"
done

# Every option and subcommand that vanto-cli --help lists is in its manual page.
cli=$prefix/bin/vanto-cli
help=$(cd / && "$cli" --help) || fail "vanto-cli --help"
manual=$(sed 's/\\-/-/g' "$share/man/man1/vanto-cli.1")
options=$(printf '%s\n' "$help" | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
[ "$(printf '%s\n' "$options" | wc -l)" -gt 40 ] || fail "too few options read from --help: $options"
for opt in $options; do
  grep -qE -- "(^|[^a-z0-9-])$opt([^a-z0-9-]|\$)" <<<"$manual" || fail "vanto-cli.1 lacks $opt"
done
subcommands=$(printf '%s\n' "$help" | sed -n '/^Subcommands:/,/^$/p' | sed -n 's/^  \([a-z0-9]\{1,\}\) .*/\1/p')
[ "$(printf '%s\n' "$subcommands" | wc -l)" -ge 8 ] || fail "too few subcommands read from --help"
for sub in $subcommands; do
  grep -q "^\.SS \"$sub" <<<"$manual" || fail "vanto-cli.1 lacks the subcommand $sub"
done

# The installed vanto-cli runs from elsewhere and needs nothing of the build tree.
grep -E 'R(UN)?PATH' <<<"$(readelf -d "$cli" "$prefix/bin/vanto")" | grep -F "$build" >/dev/null &&
  fail "the installed programs look for libraries in the build tree"
got=$(cd / && "$cli" eval '2*pi')
want=$(awk 'BEGIN { printf "%.17g", 2 * atan2(0, -1) }')
[ "$got" = "$want" ] || fail "vanto-cli eval 2*pi gave '$got', not $want"
# (s-2)(s+3)(s+5) multiplied out here, in ascending powers
want=$(awk 'BEGIN { n = split("2 -3 -5", r, " "); c[0] = 1
  for (i = 1; i <= n; i++) { for (k = i; k >= 1; k--) c[k] = c[k - 1] - r[i] * c[k]; c[0] = -r[i] * c[0] }
  printf "s"; for (k = 0; k <= n; k++) printf ",%.17g", c[k] }')
got=$(cd / && "$cli" decode '(s-2)(s+3)(s+5)')
[ "$got" = "$want" ] || fail "vanto-cli decode (s-2)(s+3)(s+5) gave '$got', not $want"

# The installed vanto shows every help page: the probe opens the help from
# the running program and prints each page it shows with its first line.
# A sanitizer build's probe needs its runtime loaded first.
preload=$probe
asan=$(ldd "$probe" 2>/dev/null | awk '/libasan/ { print $3 }')
[ -n "$asan" ] && preload="$asan $probe"
mkdir -m 700 "$work/runtime"
# The preload goes to vanto alone: in timeout itself the sanitizer runtime
# deadlocks at start.
shown=$(cd / && XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
        timeout 60 env LD_PRELOAD="$preload" "$prefix/bin/vanto" 2>/dev/null)
[ $? -eq 0 ] || fail "the installed vanto with the help probe did not finish"
for page in "$src"/resources/help/*.html; do
  name=$(basename "$page")
  heading=$(sed -n 's/.*<h2>\([^<]*\)<\/h2>.*/\1/p' "$page" | head -n1)
  grep -qxF "$name	$heading" <<<"$shown" || fail "vanto did not show $name ('$heading')"
done

# Its windows belong to the installed desktop entry.
grep -qxF "desktop-file	$id" <<<"$shown" || fail "vanto's windows are not tied to $id.desktop"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed program checked"
