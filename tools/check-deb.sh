#!/usr/bin/env bash
# Builds the Debian package from a finished build, installs it with dpkg, runs both
# programs from the installed paths on the demo game (a picture and a clip), validates
# the installed desktop entry and metadata, removes the package and checks that its
# files are gone.
# usage: tools/check-deb.sh [BUILD_DIR]   (needs root or sudo; changes the system's packages)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
fail() { echo "check-deb: $*" >&2; exit 1; }

if dpkg -s tessarin >/dev/null 2>&1; then
  fail "a package tessarin is installed already; remove it first"
fi
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || fail "no package version in $build/CPackConfig.cmake"
(cd "$build" && cpack -G DEB)
deb="$build/tessarin_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "cpack did not write $deb"

depends="$(dpkg-deb --field "$deb" Depends)"
echo "Depends: $depends"
case "$depends" in
  *libqt6widgets6*) ;;
  *) fail "the package's dependencies were not computed from the programs" ;;
esac
case "$depends" in
  *libavcodec*libavformat*|*libavformat*libavcodec*) ;;
  *) fail "the package does not depend on the FFmpeg libraries that write clips" ;;
esac

listed="$(mktemp)"
png="$(mktemp --suffix=.png)"
gif="$(mktemp --suffix=.gif)"
trap 'rm -f "$listed" "$png" "$gif"; if dpkg -s tessarin >/dev/null 2>&1; then $sudo dpkg -r tessarin >/dev/null; fi' EXIT
$sudo dpkg -i "$deb"
dpkg -L tessarin >"$listed"

[ "$(/usr/bin/tessarin-cli --version)" = "tessarin-cli $version" ] || fail "tessarin-cli --version does not print $version"
QT_QPA_PLATFORM=offscreen /usr/bin/tessarin --export-png "$png" --cycle 2400 \
  samples/helios-left-4-vs-helios-right-1.rcg
[ -s "$png" ] || fail "the installed viewer wrote no PNG"
QT_QPA_PLATFORM=offscreen /usr/bin/tessarin --export-video "$gif" --from 100 --to 110 --size 320x200 \
  samples/helios-left-4-vs-helios-right-1.rcg
[ -s "$gif" ] || fail "the installed viewer wrote no clip"
desktop="$(grep '^/usr/share/applications/.*\.desktop$' "$listed")"
metainfo="$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' "$listed")"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
# Slim images tell dpkg to leave manual pages out (path-exclude); render it where it is.
page="$(grep '/man1/tessarin-cli\.1\.gz$' "$listed")"
if [ -f "$page" ]; then
  man -P cat -l "$page" >/dev/null
else
  echo "note: dpkg's path filters left out $page"
fi

$sudo dpkg -r tessarin
left=0
while read -r path; do
  if [ -f "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done <"$listed"
[ "$left" -eq 0 ] || fail "files of the package remain after dpkg -r"
echo "check-deb: $deb installs, runs and uninstalls cleanly"
