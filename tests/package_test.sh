#!/usr/bin/env bash
# The Debian package, for real. Builds it (cmake --build BUILD --target
# package); checks its control fields and its files against a plain
# `cmake --install`; runs desktop-file-validate, appstreamcli validate --no-net
# and lintian on it; installs it with apt-get; converts spreadsheets with
# /usr/bin/quillmere-batch and reads the workbooks with xlrd; starts the
# desktop entry's Exec line under Xvfb and waits for the window; purges the
# package and checks that no file of it is left.
#
# It installs into the system, so it needs root: without, it says so and
# skips (exit 77). A package left installed by an earlier run is purged
# first, and the package is purged however the test ends.
#
# usage: package_test.sh BUILD_DIR VERSION TEST_SUPPORT_DIR [CORPUS_DIR]
set -uo pipefail

usage="usage: package_test.sh BUILD_DIR VERSION TEST_SUPPORT_DIR [CORPUS_DIR]"
build=$(realpath "${1:?$usage}") || exit 1
version=${2:?$usage}
support=$(realpath "${3:?$usage}") || exit 1
corpus=${4:-}
package=quillmere
app_id=com.mirthvale.quillmere

# Warnings that lintian may still give, each with its reason in the README
# ("Package"). Any other warning, and any error, fails the test. The tags
# that the package overrides (data/debian/lintian-overrides) must be exactly
# these.
allowed_lintian_warnings=(
)
overridden_lintian_tags=(custom-library-search-path)

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the package test installs quillmere with apt-get and purges it, which needs root; run it as root (CI does)."
    exit 77
fi
for tool in apt-get dpkg dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian xvfb-run xdotool file; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing (tools/install-deps.sh --tests installs it)" >&2
        exit 1
    fi
done

failures=0
fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Stops the test: what follows depends on what failed.
die()
{
    echo "FAIL: $*" >&2
    exit 1
}
started=$SECONDS
step()
{
    echo "== [$((SECONDS - started)) s] $*"
}

# Installed, half installed, or removed with its configuration kept: anything
# but unknown ("un") or not listed at all.
installed()
{
    case $(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null) in
        "" | un*) return 1 ;;
        *) return 0 ;;
    esac
}
# apt-get waits for a lock that another apt-get or dpkg holds.
apt_get()
{
    apt-get -o DPkg::Lock::Timeout=300 "$@"
}
purge()
{
    apt_get purge -y -qq "$package" >"$work/purge.log" 2>&1 ||
        dpkg --purge "$package" >>"$work/purge.log" 2>&1
}

work=$(mktemp -d)
cleanup()
{
    if installed && [ -z "${purged:-}" ]; then
        echo "purging $package, which this test installed"
        purge || cat "$work/purge.log" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM

if installed; then
    step "purging the $package package that an earlier run left installed"
    purge || { cat "$work/purge.log" >&2; die "could not purge the $package left installed"; }
fi

# --- The package, built from this build tree.
step "building the package"
rm -f "$build"/${package}_*.deb
if ! cmake --build "$build" --target package >"$work/package.log" 2>&1; then
    tail -n 40 "$work/package.log" >&2
    die "cmake --build $build --target package failed"
fi
arch=$(dpkg --print-architecture)
deb=$build/${package}_${version}_${arch}.deb
[ -f "$deb" ] || die "no $deb after the build; it made: $(cd "$build" && ls ./*.deb 2>/dev/null)"
echo "$deb: $(stat -c %s "$deb") bytes"

step "control fields"
dpkg-deb -f "$deb" >"$work/control"
cat "$work/control"
field()
{
    dpkg-deb -f "$deb" "$1"
}
[ "$(field Package)" = "$package" ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not the project's $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
for name in Section Priority Maintainer Homepage Description; do
    [ -n "$(field "$name")" ] || fail "no $name field"
done
grep -q "Excel 97" <<<"$(field Description)" || fail "the description does not say what the program does"
# The dependencies one a line, without their versions.
field Depends | sed 's/ *([^)]*)//g; s/, */\n/g' >"$work/depends"
for wanted in "libreoffice-calc-nogui | libreoffice-calc" "libreoffice-core-nogui | libreoffice-core" ure xdg-utils \
              libqt6widgets6 libqt6gui6 libqt6core6 libuno-sal3 libuno-cppu3 libuno-cppuhelpergcc3-3 libc6 libstdc++6; do
    grep -qxF "$wanted" "$work/depends" || fail "Depends lacks $wanted"
done

step "files, against cmake --install"
# "-rw-r--r-- root/root 1182 2026-12-08 23:22 ./usr/...": the kind and the path.
dpkg-deb -c "$deb" | sed -E 's|^(.)\S*\s+\S+\s+\S+\s+\S+\s+\S+\s+\./(.*)$|\1 /\2|; s|/$||' | sort >"$work/contents"
sed -n 's|^[^d] ||p' "$work/contents" | sed 's| -> .*||' >"$work/files"
if ! DESTDIR="$work/staged" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    tail -n 20 "$work/install.log" >&2
    fail "cmake --install failed"
fi
(cd "$work/staged" && find . ! -type d | sed 's|^\.||' | sort) >"$work/installed"
if ! diff -u "$work/installed" "$work/files" >"$work/layout.diff"; then
    fail "the package's files differ from cmake --install's (- install, + package):"
    cat "$work/layout.diff" >&2
fi
expect_files=(
    /usr/bin/quillmere /usr/bin/quillmere-batch
    /usr/lib/quillmere/quillmere /usr/lib/quillmere/quillmere-batch
    /usr/lib/quillmere/quillmere_office.so /usr/lib/quillmere/quillmere_office_guard.so
    /usr/lib/quillmere/HAND-M.CUR /usr/lib/quillmere/drag.ico
    /usr/share/applications/$app_id.desktop
    /usr/share/metainfo/$app_id.metainfo.xml
    /usr/share/quillmere/screenshots/main-window.png
    /usr/share/man/man1/quillmere.1.gz /usr/share/man/man1/quillmere-batch.1.gz
    /usr/share/bash-completion/completions/quillmere-batch
    /usr/share/doc/quillmere/copyright /usr/share/doc/quillmere/changelog.gz
    /usr/share/lintian/overrides/quillmere
)
for size in 16 24 32 48 64 128 256; do
    expect_files+=("/usr/share/icons/hicolor/${size}x${size}/apps/quillmere.png")
done
for path in "${expect_files[@]}"; do
    grep -qxF "$path" "$work/files" || fail "the package lacks $path"
done
grep -q '^/usr/lib/quillmere/Samples/.*\.ods$' "$work/files" || fail "the package lacks the sample spreadsheets"

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
root=$work/root
for size in 16 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/quillmere.png
    [ -f "$icon" ] || continue
    file -b "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon is not a $size x $size PNG: $(file -b "$icon")"
done
for program in quillmere quillmere-batch quillmere_office.so quillmere_office_guard.so; do
    kind=$(file -b "$root/usr/lib/quillmere/$program")
    grep -q "ELF 64-bit.*, stripped" <<<"$kind" || fail "$program is not a stripped ELF file: $kind"
done

step "desktop-file-validate"
desktop=$root/usr/share/applications/$app_id.desktop
if ! desktop-file-validate "$desktop" >"$work/desktop.out" 2>&1 || [ -s "$work/desktop.out" ]; then
    fail "desktop-file-validate reports:"
    cat "$work/desktop.out" >&2
else
    echo "desktop-file-validate $app_id.desktop: no error, no warning"
fi

step "appstreamcli validate --no-net"
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.out" 2>&1
status=$?
cat "$work/appstream.out"
[ "$status" -eq 0 ] || fail "appstreamcli validate --no-net exits with $status"
grep -qE '^(E|W):' "$work/appstream.out" && fail "appstreamcli reports errors or warnings"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
# The screenshot that the metainfo names is the one that the package ships.
shot_url=$(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$metainfo")
shot=$root/usr/share/quillmere/screenshots/$(basename "$shot_url")
if [ -f "$shot" ]; then
    echo "screenshot: $(basename "$shot_url"): $(file -b "$shot")"
    file -b "$shot" | grep -qE 'PNG image data, [0-9]{3,4} x [0-9]{3,4},' || fail "the screenshot is no window-sized PNG: $(file -b "$shot")"
else
    fail "the package does not ship the screenshot that the metainfo names ($shot_url)"
fi

step "lintian"
# As root, lintian says that it should not be; it runs all the same.
lintian --tag-display-limit 0 --display-info --show-overrides "$deb" 2>&1 | grep -v '^running with root privileges' >"$work/lintian.out"
cat "$work/lintian.out"
grep -q '^E: ' "$work/lintian.out" && fail "lintian reports errors"
while read -r severity _ tag _; do
    [ "$severity" = "W:" ] || continue
    allowed=
    for known in "${allowed_lintian_warnings[@]}"; do
        [ "$tag" = "$known" ] && allowed=yes
    done
    [ -n "$allowed" ] || fail "lintian warns $tag, which the README does not explain"
done <"$work/lintian.out"
overridden=$(awk '$1 == "O:" {print $3}' "$work/lintian.out" | sort -u | tr '\n' ' ')
[ "$overridden" = "$(printf '%s\n' "${overridden_lintian_tags[@]}" | sort -u | tr '\n' ' ')" ] ||
    fail "the package overrides lintian tags [$overridden], not [${overridden_lintian_tags[*]}]"

# --- Installed with apt-get, used from /usr/bin, purged.
step "apt-get install $deb"
install_started=$SECONDS
if ! apt_get install -y -q --no-install-recommends "$deb" >"$work/apt.log" 2>&1; then
    tail -n 30 "$work/apt.log" >&2
    die "apt-get install $deb failed"
fi
echo "installed in $((SECONDS - install_started)) s"
installed || die "dpkg does not list $package as installed"
dpkg -L "$package" | sort >"$work/owned"
for path in "${expect_files[@]}"; do
    [ -e "$path" ] || fail "$path is not there after the install"
done

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
step "/usr/bin/quillmere-batch"
/usr/bin/quillmere-batch --version >"$work/version.out" 2>&1
grep -qF "$version" "$work/version.out" || fail "/usr/bin/quillmere-batch --version says: $(cat "$work/version.out")"
mkdir "$work/in" "$work/out"
/usr/bin/python3 "$support/make_spreadsheet.py" "$work/in/prices.ods" \
    '[{"name": "Prices", "cells": [[1, 1, "Item"], [1, 2, "Price"], [2, 1, "Quill"], [2, 2, 2.5], [3, 1, "Ink"], [3, 2, 12]]}]' ||
    die "could not write the spreadsheet to convert"
inputs=("$work/in/prices.ods")
[ -n "$corpus" ] && [ -f "$corpus/date.ods" ] && inputs+=("$corpus/date.ods")
convert_started=$SECONDS
if ! (cd "$work" && /usr/bin/quillmere-batch --jobs 1 --to "$work/out" "${inputs[@]}") >"$work/batch.out" 2>&1; then
    cat "$work/batch.out" >&2
    fail "/usr/bin/quillmere-batch failed"
fi
echo "converted ${#inputs[@]} file(s) in $((SECONDS - convert_started)) s"
read_cells='
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    for row in range(sheet.nrows):
        print(sheet.name, *[repr(cell.value) for cell in sheet.row(row)], sep="\t")
'
if /usr/bin/python3 -c "$read_cells" "$work/out/prices.xls" >"$work/prices.cells" 2>"$work/xlrd.err"; then
    printf 'Prices\t%s\t%s\n' "'Item'" "'Price'" "'Quill'" "2.5" "'Ink'" "12.0" >"$work/prices.expected"
    diff -u "$work/prices.expected" "$work/prices.cells" >&2 || fail "prices.xls does not hold the spreadsheet's cells"
else
    cat "$work/xlrd.err" >&2
    fail "xlrd cannot read the workbook that /usr/bin/quillmere-batch wrote"
fi
if [ "${#inputs[@]}" -gt 1 ]; then
    /usr/bin/python3 -c "$read_cells" "$work/out/date.xls" >"$work/date.cells" 2>"$work/xlrd.err" && [ -s "$work/date.cells" ] ||
        { cat "$work/xlrd.err" >&2; fail "xlrd cannot read date.xls, or it is empty"; }
fi

step "the desktop entry's Exec line under Xvfb"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/$app_id.desktop | head -n 1 | sed 's/ *%[fFuUdDnNickvm]//g')
echo "Exec=$exec_line"
cat >"$work/window.sh" <<'EOF'
# Starts the Exec line, waits for a visible Quillmere window, prints the
# window's name and the program that shows it, and ends the program.
exec_line=$1
sh -c "exec $exec_line" >"$HOME/program.log" 2>&1 &
pid=$!
window=
for _ in $(seq 240); do
    kill -0 "$pid" 2>/dev/null || break
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Quillmere' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.25
done
status=1
if [ -n "$window" ]; then
    echo "window $window: $(xdotool getwindowname "$window")"
    xwininfo -id "$window" | sed -n 's/^ *\(Width\|Height\|Map State\): */\1 /p'
    echo "shown by $(readlink "/proc/$(xdotool getwindowpid "$window")/exe")"
    status=0
else
    echo "no Quillmere window; the program said:"
    cat "$HOME/program.log"
fi
kill "$pid" 2>/dev/null
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
kill -9 "$pid" 2>/dev/null
exit $status
EOF
window_started=$SECONDS
PATH=/usr/bin:/bin xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$work/window.sh" "$exec_line" >"$work/window.out" 2>&1
status=$?
cat "$work/window.out"
[ "$status" -eq 0 ] || fail "no window appeared from the Exec line '$exec_line'"
grep -qx "shown by /usr/lib/quillmere/quillmere" "$work/window.out" || fail "the window is not the installed program's"
echo "window checked in $((SECONDS - window_started)) s"
# The program ends its office with it; nothing of the package may still run.
for _ in $(seq 50); do
    # The programs, and the offices they started with their profile in this HOME.
    running=$(for process in /proc/[0-9]*; do
                  exe=$(readlink "$process/exe" 2>/dev/null) || continue
                  if [[ $exe == /usr/lib/quillmere/* ]] || tr '\0' ' ' <"$process/cmdline" 2>/dev/null | grep -qF "$HOME/"; then
                      echo "${process#/proc/} $exe"
                  fi
              done)
    [ -z "$running" ] && break
    sleep 0.2
done
[ -z "$running" ] || fail "still running from the package: $running"

step "apt-get purge $package"
purge || { cat "$work/purge.log" >&2; die "apt-get purge $package failed"; }
purged=yes
installed && fail "dpkg still lists $package after the purge"
left=()
folders=()
while read -r path; do
    [ "$path" = "/." ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        folders+=("$path")
    elif [ -e "$path" ] || [ -L "$path" ]; then
        left+=("$path")
    fi
done <"$work/owned"
# A folder may stay only when another package owns it too.
if [ ${#folders[@]} -gt 0 ]; then
    dpkg -S "${folders[@]}" 2>/dev/null | sed 's/^.*: //' | sort -u >"$work/shared-folders"
    for folder in "${folders[@]}"; do
        grep -qxF "$folder" "$work/shared-folders" || left+=("$folder")
    done
fi
[ ${#left[@]} -eq 0 ] || fail "left behind by the purge: ${left[*]}"
echo "purged; $(wc -l <"$work/owned") paths of the package checked"

echo "== [$((SECONDS - started)) s] done"
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package: all checks passed"
