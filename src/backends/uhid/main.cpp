// quorvane_uhid: the simulated keyboard as a USB HID device of the running kernel, through
// /dev/uhid, so the programs find it with --keyboard=real as they would the keyboard itself.
// Needs root (or access to /dev/uhid) and the uhid module.

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "backends/uhid/control_command.h"
#include "backends/uhid/uhid_adapter.h"
#include "backends/uhid/uhid_channel.h"
#include "platform/xdg_paths.h"
#include "sim/state_file_keyboard.h"

namespace {

constexpr const char* kUsage =
    "usage: quorvane_uhid [--state PATH] [--control FIFO] [--uhid DEVICE] [--id VVVV:PPPP]\n"
    "\n"
    "Shows the simulated keyboard to the kernel as the USB keyboard 0C45:5004, so that\n"
    "'quorvane --keyboard=real' and 'quorvanectl --keyboard=real' use it through hidraw.\n"
    "Runs until interrupted. Needs root and the uhid module (modprobe uhid). For the programs\n"
    "to open it without root, install tools/uhid/61-quorvane-uhid.rules (for testing only:\n"
    "see docs/uhid.md).\n"
    "\n"
    "  --state PATH    the keyboard's state file, as for --keyboard=sim:PATH (default: the one\n"
    "                  of --keyboard=sim); QUORVANE_SIM_FAULTS arms faults as it does there\n"
    "  --control FIFO  read commands from this named pipe (made when missing), one a line:\n"
    "                  bank-toggle, play-on, play-off, event CODE, profile N, unplug, plug,\n"
    "                  faults LIST, quit; '-' reads them from stdin\n"
    "  --uhid DEVICE   the uhid device (default /dev/uhid)\n"
    "  --id VVVV:PPPP  show other USB ids (hex), so the device is not the keyboard: for\n"
    "                  checking what the programs and the udev rules take for it\n";

volatile std::sig_atomic_t gStop = 0;
int gWakeWrite = -1;

void OnSignal(int) {
    gStop = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(gWakeWrite, &byte, 1);
}

struct Options {
    std::filesystem::path state = qv::platform::DefaultSimStatePath();
    std::string control;
    std::string uhid = "/dev/uhid";
    qv::sim::uhid::UsbIds ids;
};

bool ParseIds(const std::string& text, qv::sim::uhid::UsbIds& ids) {
    unsigned vendor = 0;
    unsigned product = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%4x:%4x%c", &vendor, &product, &end) != 2) {
        return false;
    }
    ids.vendor = static_cast<std::uint16_t>(vendor);
    ids.product = static_cast<std::uint16_t>(product);
    return true;
}

std::variant<Options, int> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        const bool takesValue = argument == "--state" || argument == "--control" ||
                                argument == "--uhid" || argument == "--id";
        if (!takesValue || i + 1 == argc) {
            std::cerr << "quorvane_uhid: "
                      << (takesValue ? "missing value for " : "unknown option ") << argument << "\n"
                      << kUsage;
            return 2;
        }
        const std::string value = argv[++i];
        if (argument == "--state") {
            options.state = value;
        } else if (argument == "--control") {
            options.control = value;
        } else if (argument == "--id") {
            if (!ParseIds(value, options.ids)) {
                std::cerr << "quorvane_uhid: --id wants VVVV:PPPP in hex, e.g. 046d:c31c\n";
                return 2;
            }
        } else {
            options.uhid = value;
        }
    }
    return options;
}

// The control pipe is opened for writing too, so it never reports an end when a writer leaves.
int OpenControl(const std::string& path) {
    if (path == "-") {
        return dup(STDIN_FILENO);
    }
    if (mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) {
        return -1;
    }
    return open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qv::sim;
    auto parsed = ParseOptions(argc, argv);
    if (const int* exitCode = std::get_if<int>(&parsed)) {
        return *exitCode;
    }
    const Options options = std::get<Options>(parsed);

    auto opened = OpenStateFileKeyboard(options.state, std::getenv(kFaultsVariable));
    if (const auto* error = std::get_if<StateFileError>(&opened)) {
        std::cerr << "quorvane_uhid: " << error->message << "\n";
        return 1;
    }
    const auto keyboard = std::get<std::unique_ptr<SimHidService>>(std::move(opened));

    auto channelOpened = uhid::UhidChannel::Open(options.uhid.c_str());
    if (const auto* error = std::get_if<std::string>(&channelOpened)) {
        std::cerr << "quorvane_uhid: " << *error
                  << " (run as root, after 'modprobe uhid'; a kernel without uhid cannot show "
                     "the keyboard)\n";
        return 1;
    }
    const auto channel = std::get<std::unique_ptr<uhid::UhidChannel>>(std::move(channelOpened));

    int control = -1;
    if (!options.control.empty()) {
        control = OpenControl(options.control);
        if (control < 0) {
            std::cerr << "quorvane_uhid: " << options.control << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
    }
    std::array<int, 2> wake{};
    if (pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "quorvane_uhid: " << std::strerror(errno) << "\n";
        return 1;
    }
    gWakeWrite = wake[1];
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    int exitCode = 0;
    {
        uhid::UhidAdapter adapter(*channel, *keyboard, std::cout, options.ids);
        if (!adapter.Start()) {
            return 1;
        }
        std::string pending;
        bool running = true;
        while (running && gStop == 0 && !adapter.ChannelFailed()) {
            std::array<pollfd, 3> fds{
                {{channel->fd(), POLLIN, 0},
                 {wake[0], POLLIN, 0},
                 {control, static_cast<short>(control >= 0 ? POLLIN : 0), 0}}};
            if (poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                break;
            }
            if ((fds[0].revents & POLLIN) != 0) {
                const auto event = channel->Read();
                if (!event) {
                    std::cerr << "quorvane_uhid: the uhid device failed\n";
                    exitCode = 1;
                    break;
                }
                adapter.Handle(*event);
            }
            if ((fds[2].revents & (POLLIN | POLLHUP)) != 0) {
                std::array<char, 512> buffer{};
                const ssize_t got = read(control, buffer.data(), buffer.size());
                if (got == 0) {
                    control = -1;  // stdin ended: the adapter keeps running until interrupted
                    continue;
                }
                if (got > 0) {
                    pending.append(buffer.data(), static_cast<std::size_t>(got));
                }
                for (std::size_t end; running && (end = pending.find('\n')) != std::string::npos;) {
                    const std::string line = pending.substr(0, end);
                    pending.erase(0, end + 1);
                    const auto command = uhid::ParseControlCommand(line);
                    if (const auto* error = std::get_if<uhid::ControlError>(&command)) {
                        std::cout << "quorvane_uhid: " << error->message << std::endl;
                        continue;
                    }
                    running = adapter.Control(std::get<uhid::ControlCommand>(command));
                }
            }
        }
        if (adapter.ChannelFailed()) {
            exitCode = 1;
        }
    }
    keyboard->WaitUntilIdle();
    if (const auto failure = keyboard->StoreFailure()) {
        std::cerr << "quorvane_uhid: " << *failure << "\n";
        exitCode = 1;
    }
    return exitCode;
}
