# Inside the test machine: which hidraw nodes the udev rules open to the seat's user. One line
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
    # The rule a package installs opens no uhid device, whatever ids it claims. A tag once set
    # stays in the device's record (udevadm test shows it again), so the record goes first.
    testing=/etc/udev/rules.d/61-quorvane-uhid.rules
    mv $testing /run/61-quorvane-uhid.rules
    rm -f "/run/udev/data/c$(cat "$node/dev")"
    expect "not tagged" "the uhid keyboard (0C45:5004), with the shipped rule alone" \
        "$(readlink -f "$node")"
    mv /run/61-quorvane-uhid.rules $testing
    expect tagged "the uhid keyboard (0C45:5004), with the testing rule" "$(readlink -f "$node")"
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

# The USB keyboard itself, and another maker's: USB devices made with the kernel's gadget
# framework on the virtual USB buses of dummy_hcd, each with a boot keyboard interface (protocol
# 01, the keystrokes) and a non-boot one (00, where the tool's collections are). usbhid makes
# hidraw nodes of them as of any USB keyboard. Made last: the programs would find this keyboard
# too.
# In one write: each write to a configfs attribute replaces what it held.
bytes() {
    escaped=""
    for byte in $1; do
        escaped="$escaped\\$(printf '%03o' 0x$byte)"
    done
    printf "$escaped"
}
BOOT="05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 95 01 75 08 81 01
      95 06 75 08 15 00 25 65 05 07 19 00 29 65 81 00 C0"
TOOL="06 1C FF 09 92 A1 01 15 00 26 FF 00 75 08 95 08 09 01 81 02 C0"
mount -t configfs configfs /sys/kernel/config
# usb_keyboard NAME VENDOR PRODUCT UDC
usb_keyboard() {
    g=/sys/kernel/config/usb_gadget/$1
    mkdir -p $g/configs/c.1
    echo 0x$2 >$g/idVendor
    echo 0x$3 >$g/idProduct
    for function in boot:1 tool:0; do
        name=${function%:*}
        protocol=${function#*:}
        f=$g/functions/hid.$name
        mkdir $f
        echo $protocol >$f/protocol
        echo $protocol >$f/subclass
        echo 8 >$f/report_length
        if [ $name = boot ]; then bytes "$BOOT" >$f/report_desc; else bytes "$TOOL" >$f/report_desc; fi
        ln -s $f $g/configs/c.1/
    done
    echo $4 >$g/UDC
}
usb_keyboard ours 0c45 5004 dummy_udc.0 || echo "FAIL: the USB keyboard could not be made"
usb_keyboard other 046d c31c dummy_udc.1 || echo "FAIL: the other USB keyboard could not be made"
i=0
while [ $i -lt 300 ] && [ "$(ls -l /sys/class/hidraw/ | grep -c dummy_hcd)" -lt 4 ]; do
    sleep 0.1
    i=$((i + 1))
done
udevadm settle --timeout=30
found=0
for n in /sys/class/hidraw/hidraw*; do
    syspath=$(readlink -f "$n")
    case $syspath in *dummy_hcd*) ;; *) continue ;; esac
    interface=$syspath/../../..
    vendor=$(cat $interface/../idVendor)
    product=$(cat $interface/../idProduct)
    protocol=$(cat $interface/bInterfaceProtocol)
    want="not tagged"
    [ $vendor:$product:$protocol = 0c45:5004:00 ] && want=tagged
    expect "$want" "USB $vendor:$product, interface protocol $protocol" "$syspath"
    found=$((found + 1))
done
[ $found = 4 ] || echo "FAIL: $found of the 4 USB hidraw nodes appeared"
