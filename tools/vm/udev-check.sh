# Inside the test machine: which hidraw nodes the udev rule opens to the seat's user. One line
# each, "ok: ..." or "FAIL: ...". The uhid keyboard and a uhid device of other ids are the
# kernel's own devices; the USB keyboard's interfaces are described in a sysfs of our own,
# mounted over /sys in a mount namespace of this script only.
R=/results

# tagged SYSPATH: whether udevadm test gives the node the uaccess tag
tagged() {
    udevadm test --action=add "$1" 2>/dev/null | grep -q '^TAGS=.*:uaccess:'
}

expect() {
    want=$1
    what=$2
    syspath=$3
    if tagged "$syspath"; then got=tagged; else got="not tagged"; fi
    if [ "$got" = "$want" ]; then echo "ok: $what: $got"; else echo "FAIL: $what: $got"; fi
}

node=$(ls -d /sys/class/hidraw/hidraw* 2>/dev/null | head -n 1)
if [ -z "$node" ]; then
    echo "FAIL: the uhid keyboard has no hidraw node"
else
    expect tagged "the uhid keyboard (0C45:5004)" "$(readlink -f "$node")"
fi

# A uhid device of other ids must not be opened.
quorvane_uhid --state /tmp/other.state --control /run/other.control --id 046d:c31c \
    >$R/uhid-other.log 2>&1 &
i=0
while [ $i -lt 300 ] && [ "$(ls -d /sys/class/hidraw/hidraw* 2>/dev/null | wc -l)" -lt 2 ]; do
    sleep 0.1
    i=$((i + 1))
done
other=""
for n in /sys/class/hidraw/hidraw*; do
    grep -q '046D' "$n/device/uevent" 2>/dev/null && other=$(readlink -f "$n")
done
if [ -z "$other" ]; then
    echo "FAIL: the uhid device of other ids did not appear"
else
    expect "not tagged" "a uhid device of other ids (046D:C31C)" "$other"
fi
timeout 5 sh -c "echo quit >/run/other.control"
wait

# The USB keyboard: a boot interface (protocol 01) with the keystrokes, a non-boot one (00)
# with the tool's collections; and another maker's keyboard.
unshare -m sh -c '
    mount -t tmpfs sysfs /sys
    mkdir -p /sys/bus/usb /sys/bus/hid /sys/class/hidraw
    # usb_hidraw N VENDOR PRODUCT PROTOCOL: prints the hidraw node syspath
    usb_hidraw() {
        n=$1
        usb=/sys/devices/pci0000:00/0000:00:14.0/usb1/1-$n
        intf=$usb/1-$n:1.0
        hid=$intf/0003:$(echo $2 | tr a-f A-F):$(echo $3 | tr a-f A-F).000$n
        raw=$hid/hidraw/hidraw$n
        mkdir -p $raw
        printf "DEVTYPE=usb_device\n" >$usb/uevent
        echo $2 >$usb/idVendor
        echo $3 >$usb/idProduct
        ln -sf /sys/bus/usb $usb/subsystem
        printf "DEVTYPE=usb_interface\n" >$intf/uevent
        echo 03 >$intf/bInterfaceClass
        echo $4 >$intf/bInterfaceProtocol
        ln -sf /sys/bus/usb $intf/subsystem
        printf "HID_ID=0003:0000%s:0000%s\n" $2 $3 >$hid/uevent
        ln -sf /sys/bus/hid $hid/subsystem
        printf "MAJOR=240\nMINOR=%s\nDEVNAME=hidraw%s\n" $n $n >$raw/uevent
        echo 240:$n >$raw/dev
        ln -sf /sys/class/hidraw $raw/subsystem
        echo $raw
    }
    tagged() {
        udevadm test --action=add "$1" 2>/dev/null | grep -q "^TAGS=.*:uaccess:"
    }
    expect() {
        if tagged "$3"; then got=tagged; else got="not tagged"; fi
        if [ "$got" = "$1" ]; then echo "ok: $2: $got"; else echo "FAIL: $2: $got"; fi
    }
    expect tagged "USB keyboard, non-boot interface" "$(usb_hidraw 1 0c45 5004 00)"
    expect "not tagged" "USB keyboard, boot keyboard interface" "$(usb_hidraw 2 0c45 5004 01)"
    expect "not tagged" "another USB keyboard, non-boot interface" "$(usb_hidraw 3 046d c31c 00)"
'
