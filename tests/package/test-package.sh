#!/usr/bin/env bash
# Builds the Debian package from a build tree, installs it, starts the installed program once on
# a virtual X display as a teacher would (Wyniki, then Koniec) and removes the package again.
# Usage: tests/package/test-package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:?build directory}")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
fail() { echo "test-package: $*" >&2; exit 1; }

rm -f "$build"/sondaryk_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/sondaryk_*.deb)
echo "test-package: built $(basename "$deb")"

contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/sondaryk ./usr/lib/sondaryk/sondaryk ./usr/lib/sondaryk/Setup.ini ./etc/sondaryk/Setup.ini \
    ./usr/lib/sondaryk/Pomoc/Pomoc.html ./usr/lib/sondaryk/Testy/Matematyka.ini \
    ./usr/share/applications/sondaryk.desktop \
    ./usr/share/icons/hicolor/scalable/apps/sondaryk.svg; do
    grep -q " $path" <<<"$contents" || fail "the package lacks $path"
done

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
trap '$sudo dpkg --purge sondaryk >/dev/null 2>&1 || true' EXIT
dpkg-query -W -f='${Status}' sondaryk | grep -q "install ok installed" || fail "the package did not install"
cmp -s /usr/lib/sondaryk/Setup.ini "$(dirname "$0")/../../resources/Setup.ini" || fail "Setup.ini differs"
dpkg-query -W -f='${Conffiles}' sondaryk | grep -q '/etc/sondaryk/Setup.ini' || fail "Setup.ini is no conffile"
# A school's own Setup.ini outlives installing the package again.
echo "; zmiana szkoły" | $sudo tee -a /etc/sondaryk/Setup.ini >/dev/null
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall -o Dpkg::Options::=--force-confold \
    "$deb" >/dev/null
tail -n 1 /usr/lib/sondaryk/Setup.ini | grep -q "zmiana szkoły" || fail "reinstalling lost the school's Setup.ini"
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/sondaryk.desktop)
grep -qx 'Exec=/usr/lib/sondaryk/sondaryk' <<<"$entry" || fail "the menu entry does not start the installed program"
grep -qx 'Path=/usr/lib/sondaryk' <<<"$entry" || fail "the menu entry does not start in the program's folder"

# Started from its menu entry's folder, the installed program shows its start window; Wyniki
# opens the workbook (it reads the installed Setup.ini), Escape closes it and Koniec ends the
# program.
screenshot="$build/installed-program.png"
cat >"$build/start-installed.sh" <<'INNER'
set -euo pipefail
cd /usr/lib/sondaryk
# A guard name of its own: a copy the teacher has open must not stop the test.
SONDARYK_INSTANCE_NAME=Sondaryk.test-package QT_QPA_PLATFORM=xcb sondaryk 2>"$LOG" &
program=$!
start=$(timeout 20 xdotool search --sync --onlyvisible --name '^Sondaryk$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$start")"
# Wyniki and Koniec lie at (184, 96) and (184, 168) in the start window.
xdotool mousemove $((X + 184)) $((Y + 96)) click 1
workbook=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wyniki uczniów$' | head -1)
sleep 1
import -window root "$SCREENSHOT"
xdotool windowfocus --sync "$workbook" key Escape
timeout 10 bash -c "while xdotool search --onlyvisible --name '^Wyniki uczniów$' >/dev/null; do sleep 0.2; done"
xdotool mousemove $((X + 184)) $((Y + 168)) click 1
( sleep 10 && kill "$program" ) 2>/dev/null &
watchdog=$!
wait "$program"
kill "$watchdog" 2>/dev/null || true
INNER
LOG="$build/installed-program.log" SCREENSHOT="$screenshot" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$build/start-installed.sh" ||
    fail "the installed program did not start, open its workbook and end (log: $build/installed-program.log)"
if grep -q . "$build/installed-program.log"; then
    grep -v -e 'XDG_RUNTIME_DIR' "$build/installed-program.log" >&2 || true
fi
echo "test-package: the installed program started, opened its workbook and ended; screenshot $screenshot"
