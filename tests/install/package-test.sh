#!/usr/bin/env bash
# The Debian package as a user's machine gets it: made by cpack from this
# build, installed with apt-get when run as root (as on CI; removed again
# afterwards unless it was installed before), else unpacked into a clean
# folder, then checked and run:
#  - the control data names the libraries and the run-time packages;
#  - every file a desktop needs is there and passes its validator;
#  - kelmor-cli reads a simulated unit; kelmor runs offscreen and under Xvfb,
#    and every Qt plugin it has loaded there (platform, image formats, icon
#    engines: what dpkg-shlibdeps cannot see) comes from a package it
#    depends on. Libraries the plugins open only when present, and fonts,
#    which fontconfig takes from whatever is installed, are left out.
#
#   package-test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
remove_after=""
cleanup() {
    if [ -n "$remove_after" ]; then
        apt-get -o DPkg::Lock::Timeout=600 remove -y -qq kelmor >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "== $* ($SECONDS s)"; }

step "package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/pkg/kelmor_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no package in $work/pkg"
echo "$(basename "$deb"), $(stat -c %s "$deb") bytes"

step "control data"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The package names, versions and further alternatives left out.
mapfile -t direct < <(sed 's/([^)]*)//g; s/|[^,]*//g; s/,/\n/g' <<<"$depends" | tr -d ' ' | grep .)
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6serialport6 libqt6svg6 fonts-dejavu-core qt6-translations-l10n; do
    printf '%s\n' "${direct[@]}" | grep -qxF "$p" || fail "Depends lacks $p"
done

step "files"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
id=org.kelmor.Kelmor
sizes=(16 22 24 32 48 64 128 256)
expected=(/usr/bin/kelmor /usr/bin/kelmor-cli "/usr/share/applications/$id.desktop"
    "/usr/share/metainfo/$id.metainfo.xml" "/usr/share/icons/hicolor/scalable/apps/$id.svg"
    /usr/share/man/man1/kelmor.1 /usr/share/man/man1/kelmor-cli.1 /usr/share/doc/kelmor/copyright)
for s in "${sizes[@]}"; do expected+=("/usr/share/icons/hicolor/${s}x$s/apps/$id.png"); done
for l in en de fr cz; do expected+=("/usr/share/kelmor/manual_kelmor_$l.pdf"); done
for f in "${expected[@]}"; do
    grep -qx "$f" "$work/files" || fail "the package lacks $f"
done

step "install"
if [ "$(id -u)" -eq 0 ]; then
    dpkg-query -W -f='${Status}' kelmor 2>/dev/null | grep -q "install ok installed" ||
        remove_after=yes
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
    root=""
    dpkg -L kelmor | grep -qx /usr/bin/kelmor || fail "dpkg does not list /usr/bin/kelmor"
else
    # Every dependency must be installable here, as apt would do it.
    apt-get -s install --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "the dependencies cannot be met"; }
    root="$work/root"
    dpkg-deb -x "$deb" "$root"
fi

step "validators"
desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "appstreamcli validate"; }
for s in "${sizes[@]}"; do
    file "$root/usr/share/icons/hicolor/${s}x$s/apps/$id.png" |
        grep -q "PNG image data, $s x $s" || fail "icon ${s}x$s"
done
for m in kelmor kelmor-cli; do
    warnings=$(groff -man -ww -z "$root/usr/share/man/man1/$m.1" 2>&1)
    [ -z "$warnings" ] || fail "man page $m.1: $warnings"
done
# Each manual is in its own language: it names the window's no-connection label.
declare -A caption=([en]="No connection with PC" [de]="Keine Verbindung zum PC"
    [fr]="Pas de connection acec pc" [cz]="Není spojení s PC")
for l in en de fr cz; do
    pdf="$root/usr/share/kelmor/manual_kelmor_$l.pdf"
    pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
    [ "${pages:-0}" -ge 4 ] || fail "manual_kelmor_$l.pdf has ${pages:-no} pages"
    pdftotext "$pdf" - | tr '\n' ' ' | grep -qF "${caption[$l]}" ||
        fail "manual_kelmor_$l.pdf does not name \"${caption[$l]}\""
done
# Where the installed program looks for them (F1): its folder's ../share/kelmor.
[ -f "$root/usr/bin/../share/kelmor/manual_kelmor_en.pdf" ] || fail "manuals beside the program"

step "kelmor-cli"
cli="$root/usr/bin/kelmor-cli"
if "$cli" --help 2>&1 | grep -q -- '--version'; then
    "$cli" --version
else
    "$cli" --help >/dev/null
fi
"$cli" read --port sim -o "$work/unit.ign" >"$work/read.log" 2>&1 ||
    { cat "$work/read.log"; fail "kelmor-cli read --port sim"; }
grep -q KALDIMER_KEY "$work/unit.ign" || fail "kelmor-cli read wrote no parameter file"

# Runs the installed window for a moment with the simulated unit; it must
# still run then and have said nothing about plugins or libraries. Leaves
# the Qt plugins it has loaded in $work/maps-$1.
run_window() {
    local name=$1
    shift
    export XDG_CONFIG_HOME="$work/config-$name" HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
    mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    "$@" "$root/usr/bin/kelmor" --sim >"$work/$name.log" 2>&1 &
    local pid=$!
    sleep 2
    local target
    target=$(pgrep -n -P "$pid" -x kelmor || echo "$pid")
    if ! kill -0 "$target" 2>/dev/null; then
        cat "$work/$name.log"
        fail "kelmor ($name) ended early"
    fi
    awk '$6 ~ /\/qt6\/plugins\/.*\.so$/ {print $6}' "/proc/$target/maps" | sort -u >"$work/maps-$name"
    kill "$target" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if grep -iE "could not|cannot|failed|not found" "$work/$name.log"; then
        fail "kelmor ($name) complained"
    fi
}

step "kelmor offscreen"
run_window offscreen env QT_QPA_PLATFORM=offscreen
step "kelmor under Xvfb"
run_window xcb env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24"

step "loaded Qt plugins come from the package's dependencies"
# The dependency closure of the package, and the base system that is always there.
apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "${direct[@]}" |
    sed -n 's/^\([a-z0-9][^ :]*\).*/\1/p' | sort -u >"$work/closure"
dpkg-query -W -f='${Package} ${Essential} ${Priority}\n' |
    awk '$2 == "yes" || $3 == "required" {print $1}' >>"$work/closure"
checked=0
for name in offscreen xcb; do
    while read -r path; do
        case "$path" in "$root"/usr/bin/* | /usr/bin/kelmor) continue ;; esac
        # Merged /usr: dpkg may know a library under /lib.
        owner=$( (dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null) |
            head -1 | cut -d: -f1 | cut -d, -f1) || true
        [ -n "$owner" ] || continue # files no package owns
        [ "$owner" = kelmor ] && continue
        grep -qx "$owner" "$work/closure" ||
            fail "kelmor ($name) loads $path of $owner, which the package does not depend on"
        checked=$((checked + 1))
    done <"$work/maps-$name"
done
[ "$checked" -ge 2 ] || fail "no Qt plugin seen loaded"
echo "$checked loaded Qt plugins checked"
echo "PASS ($SECONDS s)"
