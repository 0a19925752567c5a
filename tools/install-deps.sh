#!/bin/sh
# Installs what building, running and testing Quorvane needs on Debian 12 (run as root).
#
#   tools/install-deps.sh          the build, the tests and the desktop app
#   tools/install-deps.sh --vm     also what tools/vm-test.sh needs: QEMU, a static busybox,
#                                  udev, and Debian's kernel, unpacked (not installed) into
#                                  /var/cache/quorvane-vm (QUORVANE_VM_KERNEL names another place)
set -e
vm=no
case "$1" in
    --vm) vm=yes ;;
    "") ;;
    *) echo "usage: tools/install-deps.sh [--vm]" >&2; exit 2 ;;
esac

apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++ cmake ninja-build pkg-config git \
    libgtest-dev \
    libhidapi-dev libudev-dev \
    libcli11-dev nlohmann-json3-dev \
    qt6-base-dev xvfb xauth fonts-wqy-microhei fonts-dejavu-core fonts-dejavu-extra \
    clang libfuzzer-14-dev clang-format \
    groff-base
[ $vm = yes ] || exit 0

DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    qemu-system-x86 busybox-static udev cpio file linux-libc-dev fonts-dejavu-core

# The kernel package that linux-image-amd64 stands for, unpacked rather than installed: the test
# machine boots its vmlinuz and loads a few of its modules (HID and uhid; a virtual USB host
# controller and USB gadget HID functions for the udev rule's check), and this machine's boot
# set-up is left alone.
target=${QUORVANE_VM_KERNEL:-/var/cache/quorvane-vm}
modules="hid hid-generic uhid usb-common usbcore udc-core dummy_hcd configfs libcomposite
    usb_f_hid usbhid"
package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ { print $2; exit }')
[ -n "$package" ] || { echo "install-deps: no kernel package behind linux-image-amd64" >&2; exit 1; }
complete=yes
[ -f "$target/$package" ] || complete=no
for module in $modules; do
    [ -f "$target/modules/$module.ko" ] || complete=no
done
if [ $complete = no ]; then
    work=$(mktemp -d)
    (cd "$work" && apt-get download "$package" && dpkg-deb -x ./*.deb unpacked)
    rm -rf "$target"
    mkdir -p "$target/modules"
    cp "$work"/unpacked/boot/vmlinuz-* "$target/"
    for module in $modules; do
        find "$work/unpacked/lib/modules" -name "$module.ko*" -exec cp {} "$target/modules/" \;
    done
    touch "$target/$package"
    rm -rf "$work"
fi
echo "install-deps: kernel $package in $target"
