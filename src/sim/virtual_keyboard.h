#pragma once

// The firmware model: answers every command report exactly as the keyboard does. Pure data,
// no threads and no timing; SimHidService puts it on a (simulated) USB bus.

#include <array>
#include <cstdint>
#include <utility>

#include "core/bytes.h"
#include "device/device_report.h"
#include "sim/keyboard_memory.h"

namespace qv::sim {

class VirtualKeyboard {
public:
    VirtualKeyboard() : memory_(FactoryMemory()) {}
    explicit VirtualKeyboard(KeyboardMemory memory) : memory_(std::move(memory)) {
        FitMacroAreaToCapacity(memory_);
    }

    // Executes one command report and returns the reply: the command number, length and offset
    // echoed, the status, and the data read in bytes 8.. for read commands.
    [[nodiscard]] device::ReportBytes HandleCommand(Bytes request);

    // Whether a command may change the memory (the writes); every other one only reads it.
    [[nodiscard]] static bool MayChangeMemory(std::uint8_t command);

    // The two bytes of the key bank indicator, as last written by the host.
    void HandleLedReport(Bytes data);
    [[nodiscard]] std::array<std::uint8_t, 2> LedReport() const { return led_; }

    [[nodiscard]] const KeyboardMemory& memory() const { return memory_; }
    [[nodiscard]] KeyboardMemory& memory() { return memory_; }

private:
    // Runs a well-formed request; the data read goes to replyPayload. Returns the status.
    [[nodiscard]] std::uint8_t Execute(std::uint8_t command, std::uint8_t length,
                                       std::uint16_t offset, Bytes payload,
                                       MutableBytes replyPayload);

    KeyboardMemory memory_;
    std::array<std::uint8_t, 2> led_{0x05, 0x02};
};

}  // namespace qv::sim
