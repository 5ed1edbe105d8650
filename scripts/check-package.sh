#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a scratch folder and checks what a
# colleague installing it would get: the program runs from the package without a display
# (--version, a batch run), the desktop entry, icon, metainfo, design file type and copyright file
# are in it, the dependencies were read off the shared libraries, the Python module imports from it
# and reports, and lintian finds no error.
#   scripts/check-package.sh BUILD_DIR [KEEP_DIR]     (KEEP_DIR: where to leave the .deb)
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" >/dev/null)
deb="$(ls "$scratch"/out/lumivard_*_amd64.deb)"
echo "built $(basename "$deb")"
[ -n "${2:-}" ] && cp "$deb" "$2/"

status=0
fail() {
    echo "package: $*"
    status=1
}

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/lumivard \
         usr/share/applications/org.lumivard.Lumivard.desktop \
         usr/share/icons/hicolor/scalable/apps/org.lumivard.Lumivard.svg \
         usr/share/metainfo/org.lumivard.Lumivard.metainfo.xml \
         usr/share/mime/packages/org.lumivard.Lumivard.xml \
         usr/share/doc/lumivard/copyright \
         usr/share/doc/lumivard/changelog.gz; do
    [ -e "$root/$f" ] || fail "missing $f"
done
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
case "$depends" in
    *libqt5widgets5*) ;;
    *) fail "the dependencies do not name Qt's widgets library" ;;
esac

# Run from the unpacked tree as an installed program would be: no display, no platform chosen.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/lumivard" "$@"; }
version="$(run --version)" || fail "--version failed"
echo "$version" | grep -qx "lumivard $(dpkg-deb -f "$deb" Version)" || fail "--version says: $version"
json="$(run --batch - --json -)" || fail "--batch - --json - failed"
echo "$json" | grep -q '"crystals"' || fail "the batch run wrote no crystals"
echo "$json" | grep -q '"bands"' || fail "the batch run wrote no bands"

# The Python module, imported by Debian's interpreter from the unpacked tree only.
if ls "$build_dir"/python/lumivard.cpython-*.so >/dev/null 2>&1; then
    site="$root/usr/lib/python3/dist-packages"
    for f in lumivard.pyi lumivard_render.cpython-*.so; do
        ls "$site"/$f >/dev/null 2>&1 || fail "missing $f beside the Python module"
    done
    # The picture starts Qt's offscreen platform, which wants a private runtime folder.
    mkdir -m 700 "$scratch/runtime"
    python="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PYTHONPATH="$site" PYTHONNOUSERSITE=1 \
        XDG_RUNTIME_DIR="$scratch/runtime" /usr/bin/python3 -c '
import sys, lumivard
assert lumivard.__file__.startswith(sys.argv[1]), lumivard.__file__
print(lumivard.__version__, len(lumivard.Design().report()["crystals"]))
lumivard.render(lumivard.Design(), "overall", sys.argv[2])' "$site" "$scratch/overall.png")" \
        || fail "the packaged Python module does not import and report"
    [ "$python" = "$(dpkg-deb -f "$deb" Version) 10" ] || fail "the Python module says: $python"
    head -c 8 "$scratch/overall.png" | od -An -c | grep -q 'P   N   G' \
        || fail "the packaged Python module drew no PNG"
fi

report="$(lintian "$deb" 2>/dev/null || true)"
[ -n "$report" ] && echo "$report"
if echo "$report" | grep -q '^E:'; then
    fail "lintian reports errors"
fi
exit $status
