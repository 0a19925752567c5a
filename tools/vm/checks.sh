# Runs inside the test machine (tools/vm-test.sh). Everything it finds goes to /results.
R=/results
CONTROL=/run/uhid.control
export QT_QPA_PLATFORM=offscreen

# Waits (at most 60 s) for the keyboard's hidraw node to be there (or gone, with "gone") and for
# udev to have handled it.
wait_keyboard() {
    i=0
    while [ $i -lt 600 ]; do
        if ls /dev/hidraw* >/dev/null 2>&1; then
            [ "$1" != gone ] && break
        else
            [ "$1" = gone ] && break
        fi
        sleep 0.1
        i=$((i + 1))
    done
    udevadm settle --timeout=30
}

# Progress on the machine's console, with the seconds since boot.
note() {
    echo "quorvane-vm: $(cut -d' ' -f1 /proc/uptime) s: $*" >/dev/console
}

# A command to the uhid adapter; bounded, as a pipe nobody reads would block for ever.
say() {
    timeout 5 sh -c "echo '$*' >$CONTROL" || echo "the adapter did not take: $*" >>/results/problems
}

# The uhid keyboard, with its state file in the results.
quorvane_uhid --state $R/uhid.state --control $CONTROL >$R/uhid.log 2>&1 &
uhid=$!
wait_keyboard
ls -l /dev/hidraw* >$R/hidraw.txt 2>&1
cat /sys/class/hidraw/hidraw0/device/uevent >>$R/hidraw.txt 2>&1

note "the uhid keyboard is there"

start=$(date +%s)
sh /vm/cli-steps.sh real $R/real
echo "cli real: $(($(date +%s) - start)) s" >>$R/timing.txt
start=$(date +%s)
sh /vm/cli-steps.sh sim $R/sim
echo "cli sim: $(($(date +%s) - start)) s" >>$R/timing.txt

# The desktop app on each keyboard: arrival, then the keyboard's own key events. Both keyboards
# start from the memory the command-line runs left.
mkdir -p /a && cp $R/uhid.state /a/sim.state
note "command-line runs done"
start=$(date +%s)
HOME=/a/real quorvane_arrival_check --keyboard=real --control $CONTROL \
    >$R/real/arrival.out 2>$R/arrival-real.err
echo $? >$R/real/arrival.rc
HOME=/a/sim quorvane_arrival_check --keyboard=sim:/a/sim.state \
    >$R/sim/arrival.out 2>$R/arrival-sim.err
echo $? >$R/sim/arrival.rc
echo "desktop: $(($(date +%s) - start)) s" >>$R/timing.txt
cp /a/sim.state $R/arrival-sim.state 2>/dev/null

note "desktop runs done"
sh /vm/udev-check.sh >$R/udev.txt 2>&1
note "udev rule checked"
say quit
wait $uhid
echo $? >$R/uhid.rc
