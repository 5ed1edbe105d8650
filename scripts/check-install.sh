#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop entry, icon and metainfo land in their
# standard places and pass the freedesktop validators (where those tools are present).
set -euo pipefail
build_dir="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

status=0
for f in bin/lumivard \
         share/applications/org.lumivard.Lumivard.desktop \
         share/icons/hicolor/scalable/apps/org.lumivard.Lumivard.svg \
         share/metainfo/org.lumivard.Lumivard.metainfo.xml; do
    if [ ! -e "$prefix/$f" ]; then
        echo "missing after install: $f"
        status=1
    fi
done
[ -x "$prefix/bin/lumivard" ] || { echo "bin/lumivard is not executable"; status=1; }
grep -qx 'Categories=Qt;Science;Physics;' "$prefix/share/applications/org.lumivard.Lumivard.desktop" \
    || { echo "desktop entry lacks Categories=Qt;Science;Physics;"; status=1; }
# A file opened from a file manager reaches the program as its first argument.
grep -qx 'Exec=lumivard %f' "$prefix/share/applications/org.lumivard.Lumivard.desktop" \
    || { echo "desktop entry lacks Exec=lumivard %f"; status=1; }

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/org.lumivard.Lumivard.desktop" || status=1
else
    echo "desktop-file-validate not installed: entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.lumivard.Lumivard.metainfo.xml" || status=1
else
    echo "appstreamcli not installed: metainfo not validated"
fi
exit $status
