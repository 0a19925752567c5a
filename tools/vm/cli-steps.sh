# One run of the command-line script inside the test machine, on the keyboard MODE names: real
# (the uhid keyboard, through hidraw) or sim (the built-in simulated keyboard). Each command's
# stdout, stderr and exit code go to OUT/NN-name.{out,err,rc}; both runs use the same folders, so
# the texts that name files are the same too.
#
#   sh cli-steps.sh real|sim OUT
mode=$1
out=$2
CONTROL=/run/uhid.control
mkdir -p "$out"
rm -rf /w
mkdir -p /w/Documents /w/run
chmod 700 /w/run
cd /w
export HOME=/w XDG_STATE_HOME=/w/state XDG_CONFIG_HOME=/w/config XDG_RUNTIME_DIR=/w/run
unset QUORVANE_SIM_FAULTS

step=0
run() {
    name=$1
    shift
    step=$((step + 1))
    file=$(printf '%s/%02d-%s' "$out" $step "$name")
    quorvanectl --keyboard=$mode "$@" >"$file.out" 2>"$file.err"
    echo $? >"$file.rc"
    echo "quorvane-vm: $(cut -d' ' -f1 /proc/uptime) s: $mode $name" >/dev/console
}

# Like run, with faults armed for that one command.
run_with_faults() {
    faults=$1
    shift
    if [ $mode = real ]; then
        say "faults $faults"
        run "$@"
        say faults
    else
        QUORVANE_SIM_FAULTS=$faults run "$@"
    fi
}

# A command to the uhid adapter; bounded, as a pipe nobody reads would block for ever.
say() {
    timeout 5 sh -c "echo '$*' >$CONTROL" || echo "the adapter did not take: $*" >>/results/problems
}

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

run info info
run lighting-set lighting set --profile 1 --mode 2 --brightness 2 --colour 00FF00
run lighting-show lighting show --profile 1
run assign assign A key:B
run apply-assign apply
run macro-add macro add hello "press LShift, tap H, release LShift, 20ms, tap I"
run macro-assign assign G1 macro:1 --repeat 2
run apply-macro apply
run dump-keys dump keys
run dump-macros dump macros
run export export /w/exported.fwc
run assign-more assign B disabled --apply
run import import /w/exported.fwc
run dump-keys-after-import dump keys
run profile-set profile set 2
run profile-show profile show
run info-profile-2 info
run assign-profile-2 assign C key:D

# The cable is pulled during the apply, as a key page write arrives: the apply fails the same
# way on both keyboards, and the edit stays pending until the keyboard is back.
run_with_faults "unplug@36" apply-unplugged --trace apply
if [ $mode = real ]; then
    wait_keyboard gone
    say plug
    wait_keyboard
fi
run apply-replugged apply
run dump-keys-replugged dump keys --profile 2
run profile-back profile set 1
run settings settings
run keys-show keys show
run macro-list macro list

# The keyboard's memory as the run left it.
if [ $mode = real ]; then
    cp /results/uhid.state "$out/keyboard.state"
else
    cp /w/state/quorvane/simulated-keyboard.state "$out/keyboard.state"
fi
cp /w/exported.fwc "$out/exported.fwc" 2>/dev/null
