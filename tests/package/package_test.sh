#!/usr/bin/env bash
# The Debian package: built by scripts/package, its file list and control fields, and the
# programs started from a throw-away root it was unpacked into (dpkg -x).
set -euo pipefail
cd "$(dirname "$0")/../.."

if ! command -v dpkg-deb >/dev/null; then
  echo "Pakiet Debiana: pominięty (brak dpkg-deb)"
  exit 0
fi

failures=0
fail() {
  echo "BŁĄD: $*"
  failures=$((failures + 1))
}

rm -f build/ulvo_*_amd64.deb
scripts/package >/dev/null
version=$(sed -n 's/^project(ulvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/ulvo_${version}_amd64.deb
[ -f "$deb" ] || { echo "BŁĄD: brak $deb"; exit 1; }

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ulvo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
# Computed from the binaries: the C library, Qt's widgets and serial port are among them.
for lib in libc6 libstdc++6 libqt6widgets6 libqt6serialport6 libqt6core6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends bez $lib: $depends"
done
grep -q "dialout" <<<"$(field Description)" || fail "opis pakietu nie wspomina grupy dialout"

# File list.
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for f in ./usr/bin/ulvo ./usr/bin/ulvo-sim ./usr/bin/ulvo-cli ./usr/share/applications/ulvo.desktop \
  ./usr/share/icons/hicolor/scalable/apps/ulvo.svg ./usr/share/man/man1/ulvo-sim.1.gz \
  ./usr/share/man/man1/ulvo-cli.1.gz \
  ./usr/share/doc/ulvo/README.md; do
  grep -qx "$f" <<<"$listing" || fail "w pakiecie brak $f"
done
for licence in LICENSE LICENSE.md LICENSE.txt COPYING; do
  if [ -f "$licence" ]; then
    grep -qx ./usr/share/doc/ulvo/copyright <<<"$listing" || fail "w pakiecie brak licencji"
    break
  fi
done
# Nothing outside /usr, nothing of the build tree.
if grep -v '^\./usr/' <<<"$listing" | grep -qv '^\./$'; then
  fail "pliki spoza /usr: $(grep -v '^\./usr/' <<<"$listing" | tr '\n' ' ')"
fi

# Unpacked into a throw-away root.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
help=$("$root/usr/bin/ulvo-sim" --help) || fail "ulvo-sim --help zakończył się błędem"
grep -q -- "--family" <<<"$help" || fail "ulvo-sim --help bez opcji: $help"
[ "$("$root/usr/bin/ulvo-sim" --version)" = "ulvo-sim $version" ] || fail "ulvo-sim --version"
man=$(gzip -dc "$root/usr/share/man/man1/ulvo-sim.1.gz")
grep -q '^\.TH ULVO-SIM "1"' <<<"$man" || fail "strona podręcznika bez nagłówka .TH"
grep -q -- 'family' <<<"$man" || fail "strona podręcznika bez opcji"
[ "$("$root/usr/bin/ulvo-cli" --version)" = "ulvo-cli $version" ] || fail "ulvo-cli --version"
gzip -dc "$root/usr/share/man/man1/ulvo-cli.1.gz" | grep -q 'readout' || fail "ulvo-cli.1 bez poleceń"
desktop=$root/usr/share/applications/ulvo.desktop
grep -qx 'Exec=ulvo' "$desktop" || fail "wpis pulpitu: Exec"
grep -qx 'Icon=ulvo' "$desktop" || fail "wpis pulpitu: Icon"
grep -qx 'Categories=Office;Finance;' "$desktop" || fail "wpis pulpitu: Categories"
grep -q '^Name\[pl\]=.*ULVO' "$desktop" || fail "wpis pulpitu: polska nazwa"
grep -q '^Comment\[pl\]=' "$desktop" || fail "wpis pulpitu: polski opis"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/ulvo.svg" || fail "ikona nie jest SVG"
# The program finds every library it links (the GUI itself is tried by the settings tests).
if ldd "$root/usr/bin/ulvo" | grep -q 'not found'; then
  fail "ulvo: brakujące biblioteki: $(ldd "$root/usr/bin/ulvo" | grep 'not found')"
fi

if [ "$failures" -ne 0 ]; then
  echo "Pakiet Debiana: $failures błędów"
  exit 1
fi
echo "Pakiet Debiana: $deb w porządku ($(dpkg-deb -c "$deb" | wc -l) pozycji)"
