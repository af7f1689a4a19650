#!/usr/bin/env bash
# Builds the Debian package and tries it on a fresh Debian system, as root:
#   1. installs it with apt without recommended packages, checks its libraries resolve and starts
#      the program from its menu entry's command under an X server, as an ordinary user;
#   2. purges it and checks that none of its files remain;
#   3. installs it with apt as a user would (recommended packages too), asks which program opens
#      a scene file, opens a sample through that association and checks the program got it;
#   4. purges it again and checks the system no longer knows it.
# The fresh system is a debootstrap chroot kept pristine at $CHROOT (made when missing); each run
# works on a copy at $WORK. Screenshots and logs go to $OUT.
#
#   scripts/check-package.sh [BUILD_DIR]      (default: build-rel beside the scripts folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-rel}")
CHROOT=${CHROOT:-$(dirname "$root")/chroot-fresh}
WORK=${WORK:-$(dirname "$root")/chroot-check}
OUT=${OUT:-$build/package-check}
SUITE=${SUITE:-bookworm}
# The machine's own Debian archive: the first source that is not the security archive, from
# the deb822 files or the one-line lists. MIRROR overrides it.
apt_mirror() {
  {
    awk '/^URIs:/ {for (i = 2; i <= NF; i++) print $i}' /etc/apt/sources.list.d/*.sources 2>/dev/null
    awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i !~ /^\[/) {print $i; break}}' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
  } | grep -v -- '-security' | head -n 1
}
MIRROR=${MIRROR:-$(apt_mirror)}
[ -n "$MIRROR" ] || { echo "no Debian archive in the machine's apt sources; set MIRROR" >&2; exit 1; }
DISPLAY_NUMBER=${DISPLAY_NUMBER:-87}
USER_NAME=student

say() { printf '\n== %s\n' "$*"; }
fail() {
  printf 'FAILED: %s\n' "$*" >&2
  exit 1
}

# Tools of this check (not of the package) on the host.
"$root/scripts/install-deps.sh"
need=()
for p in debootstrap dpkg-dev xvfb xauth x11-utils xdotool imagemagick file; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
mkdir -p "$OUT"
rm -f "$OUT"/*.png "$OUT"/*.txt

say "package"
# Only the two programs are needed for the package; the tests need not be built first.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
nice -n 19 cmake --build "$build" --target vorn3d v3dtool -j2
rm -f "$build"/vorn3d_*.deb
(cd "$build" && nice -n 19 cpack -G DEB >"$OUT/cpack.txt" 2>&1) || {
  cat "$OUT/cpack.txt"
  fail "cpack"
}
deb=$(ls "$build"/vorn3d_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Maintainer Section Depends Recommends
echo "size: $(du -h "$deb" | cut -f1)  files: $(dpkg-deb -c "$deb" | grep -vc '/$')"

say "fresh system"
if [ ! -x "$CHROOT/usr/bin/apt-get" ]; then
  nice -n 19 debootstrap "$SUITE" "$CHROOT" "$MIRROR" >"$OUT/debootstrap.txt"
fi
mounted=()
xvfb_pid=
cleanup() {
  set +e
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}"; done
}
trap cleanup EXIT
for m in proc dev dev/pts tmp/.X11-unix; do
  if mountpoint -q "$WORK/$m" 2>/dev/null; then umount -l "$WORK/$m"; fi
done
# Never delete through a mount (the chroot's /dev is the host's).
if grep -q " $WORK/" /proc/mounts; then fail "something is still mounted under $WORK"; fi
rm -rf "$WORK"
cp -a "$CHROOT" "$WORK"
cp /etc/resolv.conf "$WORK/etc/resolv.conf"
echo "deb $MIRROR $SUITE main" >"$WORK/etc/apt/sources.list"
mount -t proc proc "$WORK/proc" && mounted+=("$WORK/proc")
mount --bind /dev "$WORK/dev" && mounted+=("$WORK/dev")
mount --bind /dev/pts "$WORK/dev/pts" && mounted+=("$WORK/dev/pts")
# The X server runs on the host; the chroot reaches it through its socket folder.
mkdir -p /tmp/.X11-unix "$WORK/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$WORK/tmp/.X11-unix" && mounted+=("$WORK/tmp/.X11-unix")
in_root() { chroot "$WORK" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { chroot --userspec="$USER_NAME:$USER_NAME" "$WORK" env -i PATH=/usr/bin:/bin \
  HOME="/home/$USER_NAME" USER="$USER_NAME" DISPLAY=":$DISPLAY_NUMBER" LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root useradd -m "$USER_NAME"
cp "$deb" "$WORK/tmp/"
pkg=/tmp/$(basename "$deb")

Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x800x24 -nolisten tcp >"$OUT/xvfb.txt" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break; sleep 0.2; done
export DISPLAY=":$DISPLAY_NUMBER"

# The widest visible window whose name ends in VORN-3D (the caption may start with the file).
main_window() {
  local w width best='' widest=0
  for w in $(xdotool search --onlyvisible --name 'VORN-3D$' 2>/dev/null || true); do
    width=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
    if [ "${width:-0}" -gt "$widest" ]; then
      widest=$width
      best=$w
    fi
  done
  echo "$best"
}

# Waits for the main window, then for the start-up timer (settings, scene, splash closed).
wait_window() {
  local id=
  for _ in $(seq 60); do
    id=$(main_window)
    [ -n "$id" ] && break
    sleep 0.5
  done
  [ -n "$id" ] || return 1
  sleep 3
  main_window
}

# The program's process inside the chroot (never one of the host's).
program_pid() {
  local p
  for p in $(pgrep -x vorn3d || true); do
    if [ "$(readlink "/proc/$p/root")" = "$WORK" ]; then echo "$p"; fi
  done | tail -1
}

# Closes the program with its own Alt+X, so that it writes its settings.
close_program() {
  local id=$1 pid
  pid=$(program_pid)
  [ -n "$pid" ] || fail "the program is not running"
  xdotool windowfocus --sync "$id" key alt+x 2>/dev/null || true
  for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.5; done
  kill "$pid" 2>/dev/null || true
  fail "the program did not close with Alt+X"
}

# Every file the package listed must be gone; folders only when nothing else uses them.
check_gone() {
  local list=$1 left=0
  while read -r f; do
    [ -e "$WORK$f" ] && [ ! -d "$WORK$f" ] && {
      echo "left behind: $f"
      left=1
    }
  done <"$list"
  for d in /usr/share/vorn3d /usr/share/vorn3d/samples; do
    [ -e "$WORK$d" ] && {
      echo "left behind: $d"
      left=1
    }
  done
  [ $left -eq 0 ] || fail "files of the package remain after purge"
  echo "all $(wc -l <"$list") paths of the package are gone"
}

say "1. apt install --no-install-recommends"
in_root apt-get install -y --no-install-recommends "$pkg" >"$OUT/install-1.txt" 2>&1 || {
  tail -30 "$OUT/install-1.txt"
  fail "apt install"
}
grep -E "^(Setting up|Unpacking) vorn3d|newly installed" "$OUT/install-1.txt"
in_root dpkg -L vorn3d >"$OUT/dpkg-L.txt"
grep -E "bin/|\.desktop|\.xml|\.svg|\.png|samples/.*v3d|\.lng|\.html" "$OUT/dpkg-L.txt"
for b in /usr/bin/vorn3d /usr/bin/v3dtool; do
  if in_root ldd "$b" | grep "not found"; then fail "$b has unresolved libraries"; fi
done
in_root v3dtool info /usr/share/vorn3d/samples/cube_section.v3d | head -3

exec_line=$(sed -n 's/^Exec=//p' "$WORK/usr/share/applications/org.vorn3d.Vorn3D.desktop")
echo "menu entry command: $exec_line"
# Started from the menu there is no file: %f expands to nothing.
# shellcheck disable=SC2086
as_user ${exec_line//%f/} >"$OUT/start.txt" 2>&1 &
id=$(wait_window) || {
  cat "$OUT/start.txt"
  fail "no window from the menu command"
}
echo "window $id: $(xdotool getwindowname "$id")"
import -window root "$OUT/1-started-from-menu.png"
close_program "$id"
config=$WORK/home/$USER_NAME/.config/vorn3d
ls "$config"
if [ ! -f "$config/Vorn3d.ini" ] || [ ! -f "$config/vorn3ukr.lng" ]; then
  fail "settings or language template not in the user's configuration folder"
fi

# An administrator's run must not write into the package's folders either.
in_root env DISPLAY=":$DISPLAY_NUMBER" vorn3d >"$OUT/start-root.txt" 2>&1 &
id=$(wait_window) || fail "no window when started by root"
close_program "$id"
stray=$(ls "$WORK/usr/bin/Vorn3d.ini" "$WORK/usr/bin/vorn3ukr.lng" 2>/dev/null || true)
[ -z "$stray" ] || fail "the program wrote $stray into /usr/bin"
[ -f "$WORK/root/.config/vorn3d/Vorn3d.ini" ] || fail "root's settings are not in ~/.config/vorn3d"
echo "root's settings: /root/.config/vorn3d; nothing written into /usr/bin"

say "2. apt purge"
in_root apt-get purge -y vorn3d >"$OUT/purge-1.txt" 2>&1
grep -E "^(Removing|Purging)" "$OUT/purge-1.txt"
check_gone "$OUT/dpkg-L.txt"

say "3. apt install (with recommended packages)"
in_root apt-get install -y "$pkg" >"$OUT/install-2.txt" 2>&1 || {
  tail -30 "$OUT/install-2.txt"
  fail "apt install"
}
grep -E "newly installed|^Setting up vorn3d|Processing triggers for (shared-mime-info|desktop-file-utils|hicolor)" \
  "$OUT/install-2.txt"
sample=/usr/share/vorn3d/samples/cube_section.v3d
type=$(as_user xdg-mime query filetype "$sample")
handler=$(as_user xdg-mime query default application/x-vorn3d-scene)
echo "xdg-mime: $sample is $type, opened by $handler"
[ "$type" = application/x-vorn3d-scene ] || fail "the scene file type is not known"
[ "$handler" = org.vorn3d.Vorn3D.desktop ] || fail "org.vorn3d.Vorn3D.desktop is not the scene files' handler"
grep -q "^application/x-vorn3d-scene=.*org.vorn3d.Vorn3D.desktop" "$WORK/usr/share/applications/mimeinfo.cache" ||
  fail "mimeinfo.cache lacks the association"
icons=$(cd "$WORK/usr/share/icons/hicolor" && find . -name 'vorn3d.*' | sort | tr '\n' ' ')
echo "icons: $icons"

as_user xdg-open "$sample" >"$OUT/open.txt" 2>&1 &
id=$(wait_window) || {
  cat "$OUT/open.txt"
  fail "opening a sample started no program"
}
pid=$(program_pid)
args=$(tr '\0' ' ' <"/proc/$pid/cmdline")
echo "started by xdg-open: $args"
[[ "$args" == *"$sample"* ]] || fail "the program was not given the sample"
import -window root "$OUT/2-opened-by-type.png"
close_program "$id"
grep -q "WorkFile=$sample" "$config/Vorn3d.ini" || fail "the program did not load the sample"
echo "the settings name the opened scene: $(grep WorkFile "$config/Vorn3d.ini")"

say "4. apt purge"
in_root dpkg -L vorn3d >"$OUT/dpkg-L-2.txt"
in_root apt-get purge -y vorn3d >"$OUT/purge-2.txt" 2>&1
grep -E "^(Removing|Purging) vorn3d|Processing triggers for (shared-mime-info|desktop-file-utils)" \
  "$OUT/purge-2.txt"
check_gone "$OUT/dpkg-L-2.txt"
# The desktop tools stay; they must no longer know the program or its file type.
after=$(as_user xdg-mime query default application/x-vorn3d-scene || true)
[ -z "$after" ] || fail "the scene type still has a handler: $after"
if grep -rqs vorn3d "$WORK/usr/share/applications/mimeinfo.cache" "$WORK/usr/share/mime/packages" ||
  grep -qs x-vorn3d-scene "$WORK/usr/share/mime/types"; then
  fail "the desktop caches still name vorn3d"
fi
echo "no handler for application/x-vorn3d-scene and no cache entry remain"
in_root apt-get autoremove -y >"$OUT/autoremove.txt" 2>&1
echo "autoremove: $(grep -c '^Removing' "$OUT/autoremove.txt") packages pulled in for it removed"

say "passed; screenshots in $OUT"
ls "$OUT"/*.png
