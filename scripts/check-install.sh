#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop entry, icon, metainfo and the design
# files' type land in their standard places and pass the freedesktop validators (where those tools are
# present), and that the type names a design file the program wrote, and no other .cfg file.
set -euo pipefail
build_dir="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

status=0
for f in bin/lumivard \
         share/applications/org.lumivard.Lumivard.desktop \
         share/icons/hicolor/scalable/apps/org.lumivard.Lumivard.svg \
         share/metainfo/org.lumivard.Lumivard.metainfo.xml \
         share/mime/packages/org.lumivard.Lumivard.xml; do
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

desktop="$prefix/share/applications/org.lumivard.Lumivard.desktop"
metainfo="$prefix/share/metainfo/org.lumivard.Lumivard.metainfo.xml"
mimexml="$prefix/share/mime/packages/org.lumivard.Lumivard.xml"
grep -qx 'MimeType=application/x-lumivard-design;' "$desktop" \
    || { echo "desktop entry lacks MimeType=application/x-lumivard-design;"; status=1; }
for key in 'Name[ja]' 'Comment[ja]'; do
    awk -v k="$key=" 'index($0, k) == 1 && length($0) > length(k) { found = 1 } END { exit !found }' \
        "$desktop" || { echo "desktop entry lacks $key"; status=1; }
done
for tag in name summary; do
    grep -q "<$tag xml:lang=\"ja\">" "$metainfo" || { echo "metainfo lacks a Japanese <$tag>"; status=1; }
done

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

# The type: well-formed XML, and a database made from it and the shared types (as the package's trigger
# makes it) knows it and finds it in a design file by its first key, but not in another program's .cfg.
if command -v xmllint >/dev/null; then
    xmllint --noout "$mimexml" || status=1
else
    echo "xmllint not installed: the type's XML not checked on its own"
fi
if command -v update-mime-database >/dev/null; then
    data="$prefix/mimecheck"
    mkdir -p "$data/mime/packages"
    cp "$mimexml" "$data/mime/packages/"
    [ -e /usr/share/mime/packages/freedesktop.org.xml ] && cp /usr/share/mime/packages/freedesktop.org.xml "$data/mime/packages/"
    update-mime-database "$data/mime" >/dev/null 2>&1
    grep -qx 'application/x-lumivard-design' "$data/mime/types" 2>/dev/null \
        || { echo "the shared MIME database made with the type does not know it"; status=1; }
    if command -v gio >/dev/null; then
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/lumivard" --batch - --save "$data/design.cfg"
        printf '[section]\nkey=value\n' >"$data/other.cfg"
        typeof() { XDG_DATA_DIRS="$data" XDG_DATA_HOME="$data/none" gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
        [ "$(typeof "$data/design.cfg")" = application/x-lumivard-design ] \
            || { echo "a design file is taken for $(typeof "$data/design.cfg")"; status=1; }
        [ "$(typeof "$data/other.cfg")" != application/x-lumivard-design ] \
            || { echo "another program's .cfg file is taken for a design"; status=1; }
    else
        echo "gio not installed: the type not tried on files"
    fi
else
    echo "update-mime-database not installed: the type not checked"
fi
exit $status
