#!/usr/bin/env bash
# The end-to-end run on a kernel HID device. Boots Debian's packaged kernel in QEMU (no KVM
# needed) with a small initramfs of busybox, our programs and the libraries they load. Inside,
# quorvane_uhid shows the simulated keyboard to the kernel as the USB keyboard, and one script of
# quorvanectl commands runs twice: on that device (--keyboard=real: hidraw, hidapi, udev) and on
# the built-in simulated keyboard (--keyboard=sim). Every output, exit code and the keyboard's
# state file must be the same in both runs; so must what the desktop app (offscreen) shows on
# arrival and on the keyboard's key events. The udev rules are checked on the kernel's devices.
#
#   tools/vm-test.sh [BUILD_DIR]
#
# BUILD_DIR (default: build) must hold quorvanectl, quorvane_uhid and quorvane_arrival_check.
# Needs what `tools/install-deps.sh --vm` installs, and fails when any of it is missing. The
# console log and the results are left in BUILD_DIR/vm/. Exit 0 when everything matched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
vm=$build/vm
kernel_dir=${QUORVANE_VM_KERNEL:-/var/cache/quorvane-vm}
timeout_s=170

fail() {
    echo "vm-test: $*" >&2
    exit 1
}

for tool in qemu-system-x86_64 cpio gzip base64 udevadm ldd strip; do
    command -v $tool >/dev/null || fail "$tool is missing; run tools/install-deps.sh --vm"
done
busybox=$(command -v busybox || true)
[[ -n "$busybox" ]] && file -L "$busybox" 2>/dev/null | grep -q static ||
    busybox=/bin/busybox
[[ -x "$busybox" ]] || fail "busybox is missing; run tools/install-deps.sh --vm"
vmlinuz=$(ls "$kernel_dir"/vmlinuz-* 2>/dev/null | head -n 1)
[[ -n "$vmlinuz" ]] || fail "no kernel in $kernel_dir; run tools/install-deps.sh --vm"
modules="hid hid-generic uhid usb-common usbcore udc-core dummy_hcd configfs libcomposite usb_f_hid
    usbhid"
for module in $modules; do
    [[ -f "$kernel_dir/modules/$module.ko" ]] ||
        fail "$kernel_dir/modules/$module.ko is missing; run tools/install-deps.sh --vm"
done
for program in quorvanectl quorvane_uhid quorvane_arrival_check; do
    [[ -x "$build/bin/$program" ]] || fail "$build/bin/$program is not built"
done
udevd=/lib/systemd/systemd-udevd
[[ -x $udevd ]] || fail "$udevd is missing; run tools/install-deps.sh --vm"

echo "== building the initramfs"
root=$vm/initramfs
rm -rf "$vm"
mkdir -p "$root"/usr/{bin,sbin,lib,lib64} "$root"/{proc,sys,dev,run,tmp,etc/udev/rules.d,vm} \
    "$root"/usr/lib/modules "$root/opt/quorvane/bin"
for merged in bin sbin lib lib64; do
    ln -s usr/$merged "$root/$merged"
done

# A program and every library it loads, at the paths the loader looks for them.
copied=" "
add_libraries() {
    local library
    for library in $(ldd "$1" | awk '/=> \// { print $3 } /^[ \t]*\// { print $1 }'); do
        [[ "$copied" == *" $library "* ]] && continue
        copied+="$library "
        mkdir -p "$root$(dirname "$library")"
        cp -L "$library" "$root$library"
    done
}
add_program() {
    mkdir -p "$root$(dirname "$2")"
    # Without debug information: the machine unpacks every byte of the initramfs.
    strip --strip-debug -o "$root$2" "$1"
    add_libraries "$1"
}

cp "$busybox" "$root/bin/busybox"
for module in $modules; do
    cp "$kernel_dir/modules/$module.ko" "$root/lib/modules/"
done
for program in quorvanectl quorvane_uhid quorvane_arrival_check; do
    add_program "$build/bin/$program" "/opt/quorvane/bin/$program"
done
# What the desktop app reads beside it, and the Qt plug-ins it needs offscreen, with a font.
cp -r "$build"/bin/Skins "$build"/bin/Help "$root/opt/quorvane/bin/"
cp "$build"/bin/*.ini "$root/opt/quorvane/bin/" 2>/dev/null || true
plugins=$(dirname "$(dirname "$(find /usr/lib -path '*qt6/plugins/platforms/libqoffscreen.so' | head -n 1)")")
mkdir -p "$root$plugins/platforms"
add_program "$plugins/platforms/libqoffscreen.so" "$plugins/platforms/libqoffscreen.so"
# The skin's pictures are JPEG files.
add_program "$plugins/imageformats/libqjpeg.so" "$plugins/imageformats/libqjpeg.so"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [[ -f $font ]]; then
    mkdir -p "$root$(dirname $font)"
    cp $font "$root$font"
    cp -r /etc/fonts "$root/etc/"
fi
add_program "$(readlink -f $udevd)" /usr/bin/udevadm
mkdir -p "$root/lib/systemd"
ln -s /usr/bin/udevadm "$root/lib/systemd/systemd-udevd"
# The shipped rule, and the one that opens quorvane_uhid's keyboard, which only a test installs.
cp packaging/60-quorvane.rules tools/uhid/61-quorvane-uhid.rules "$root/etc/udev/rules.d/"
cp tools/vm/init "$root/init"
cp tools/vm/checks.sh tools/vm/cli-steps.sh tools/vm/udev-check.sh "$root/vm/"
chmod +x "$root/init"
(cd "$root" && find . | cpio -o -H newc --quiet) | gzip -1 >"$vm/initramfs.cpio.gz"
echo "   $(du -h "$vm/initramfs.cpio.gz" | cut -f1) compressed"

echo "== booting $(basename "$vmlinuz") in QEMU (TCG)"
start=$(date +%s)
status=0
timeout $timeout_s qemu-system-x86_64 -accel tcg -m 1024 -smp 1 -nographic -no-reboot \
    -kernel "$vmlinuz" -initrd "$vm/initramfs.cpio.gz" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1" </dev/null >"$vm/console.log" 2>&1 ||
    status=$?
echo "   the machine ran $(($(date +%s) - start)) s"
[[ $status -eq 124 ]] && fail "the machine did not finish within $timeout_s s; see $vm/console.log"

tr -d '\r' <"$vm/console.log" |
    sed -n '/=====QUORVANE-RESULTS-BEGIN=====/,/=====QUORVANE-RESULTS-END=====/p' |
    sed '1d;$d' >"$vm/results.b64"
[[ -s "$vm/results.b64" ]] || fail "the machine printed no results; see $vm/console.log"
base64 -d "$vm/results.b64" | tar -xz -C "$vm" || fail "the results could not be unpacked"
results=$vm/results

echo "== comparing"
failures=0
problem() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
if [[ -s $results/problems ]]; then
    while read -r line; do problem "$line"; done <"$results/problems"
fi
real_files=$(cd "$results/real" && ls)
sim_files=$(cd "$results/sim" && ls)
[[ "$real_files" == "$sim_files" ]] || problem "the two runs left different files"
steps=0
for file in $real_files; do
    if cmp -s "$results/real/$file" "$results/sim/$file"; then
        steps=$((steps + 1))
    else
        problem "$file differs (real, then sim):"
        diff "$results/real/$file" "$results/sim/$file" | head -n 20 || true
    fi
done
echo "   $steps files the same on both keyboards"
for file in $results/real/*.rc; do
    case $file in
        */*-apply-unplugged.rc) [[ $(cat "$file") != 0 ]] || problem "the unplugged apply succeeded" ;;
        *) [[ $(cat "$file") == 0 ]] || problem "$(basename "$file" .rc) ended with $(cat "$file")" ;;
    esac
done
# The unplug came while the apply wrote the key page: the last report sent is a key page write.
grep '^-> CTRL' "$results/real/"*-apply-unplugged.err | tail -n 1 | grep -q '^-> CTRL 04 .. .. 08' ||
    problem "the cable was not pulled during the key page write"
grep -q 'arrival: window open, profile slot 1' "$results/real/arrival.out" ||
    problem "the desktop app did not open its window with profile 1"
grep -q '^ok' "$results/udev.txt" || problem "the udev rule was not checked"
while read -r line; do
    echo "   udev rule: $line"
    [[ $line == ok:* ]] || problem "udev rule: $line"
done <"$results/udev.txt"
cat "$results/timing.txt" | sed 's/^/   /'

if ((failures > 0)); then
    echo "== $failures problem(s); the machine's console is in $vm/console.log"
    exit 1
fi
echo "== the uhid keyboard and the simulated keyboard gave the same results"
