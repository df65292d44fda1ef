#!/bin/sh
# Installs the build into a temporary prefix and uses the installed programs
# as an ordinary user would: the converter launcher is found in the package's
# own folder, the settings land in the user's configuration folder, and
# nothing is ever written beside the programs.
#   installed_programs.sh BUILD_DIR
set -eu
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
cd "$tmp/prefix"
find . -type f | sed 's|^\./||' | sort >"$tmp/installed"
{
    echo bin/quillon
    echo bin/quillon-cli
    echo libexec/quillon/videoenc.dll
    echo share/applications/quillon.desktop
    for size in 128 16 22 24 256 32 48 64; do echo "share/icons/hicolor/${size}x${size}/apps/quillon.png"; done
    echo share/icons/hicolor/scalable/apps/quillon.svg
    echo share/man/man1/quillon-cli.1.gz
    echo share/man/man1/quillon.1.gz
    echo share/metainfo/io.github.quillon.Quillon.metainfo.xml
    echo share/doc/quillon/changelog.gz
    echo share/doc/quillon/copyright
} | sort >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/installed" || fail "the installed files differ"

# A display of its own: a window open elsewhere must not take the files.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen DISPLAY=":install-test-$$"
unset WAYLAND_DISPLAY XDG_RUNTIME_DIR
mkdir -p "$HOME" "$tmp/out"
ffmpeg -nostdin -v error -f lavfi -i testsrc=size=64x48:rate=5:duration=1 -f lavfi -i sine=duration=1 \
    -c:v mpeg4 -c:a aac "$tmp/clip.mp4"
ls -la bin libexec/quillon >"$tmp/before"

line=$(bin/quillon-cli -q -f mp3 -r 44100 -b 128 -o "$tmp/out" "$tmp/clip.mp4")
[ "$line" = "$(printf 'Done\t%s\t%s\t' "$tmp/clip.mp4" "$tmp/out/clip.MP3")" ] || fail "quillon-cli said: $line"
[ "$(bin/quillon --version)" = "$(bin/quillon-cli --version | sed 's/^quillon-cli/quillon/')" ] ||
    fail "quillon --version"

# The window, ended from outside, writes its settings as it goes.
bin/quillon "$tmp/clip.mp4" >/dev/null 2>&1 &
window=$!
sleep 3
kill -TERM "$window"
wait "$window" || fail "the window ended with $?"
[ -f "$XDG_CONFIG_HOME/quillon/strings.ini" ] || fail "no settings in $XDG_CONFIG_HOME/quillon"
ls -la bin libexec/quillon >"$tmp/after"
diff -u "$tmp/before" "$tmp/after" || fail "something was written beside the programs"

# Without its launcher the program says where it looked, and why.
mv libexec/quillon/videoenc.dll "$tmp/"
message=$(bin/quillon-cli -q -o "$tmp/out" "$tmp/clip.mp4" 2>&1 >/dev/null || true)
case $message in
*"could not be run from $tmp/prefix/bin/videoenc.dll, $tmp/prefix/bin/../libexec/quillon/videoenc.dll or "*": No such file or directory"*) ;;
*) fail "without the launcher: $message" ;;
esac
# The man page names every option --help names.
for option in $(bin/quillon-cli --help | grep -o '\-\-[a-z][a-z-]*' | sort -u); do
    zcat share/man/man1/quillon-cli.1.gz | grep -qF "$(echo "$option" | sed 's/-/\\-/g')" ||
        fail "quillon-cli(1) does not name $option"
done
# The desktop file and the metainfo are valid where the validators are installed.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate share/applications/quillon.desktop || fail "the desktop file"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net share/metainfo/io.github.quillon.Quillon.metainfo.xml >/dev/null ||
        fail "the metainfo"
fi
echo "installed programs: OK"
