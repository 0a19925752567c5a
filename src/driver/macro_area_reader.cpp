#include "driver/macro_area_reader.h"

#include <algorithm>

#include "device/command_result.h"
#include "macros/macro_area.h"

namespace qv::driver {

using namespace macros;

MacroAreaRead ReadMacroAreaFromDevice(device::DeviceCommands& commands, std::size_t capacity) {
    MacroAreaRead read;
    std::vector<std::uint8_t> header(kMacroAreaHeaderSize);
    read.result = commands.ReadMacros(header);
    if (read.result != device::kSuccess || ReadU16LE(header, 0) != kMacroAreaMagic) {
        return read;
    }
    std::size_t size =
        std::max<std::size_t>(ReadU16LE(header, kMacroAreaSizeOffset), kMacroAreaHeaderSize);
    // The header comes from the keyboard: it may not make us read past what it can hold.
    if (size > capacity && capacity >= kMacroAreaHeaderSize) {
        size = capacity;
        read.sizeCut = true;
    }
    read.area.resize(size);
    read.result = commands.ReadMacros(read.area);
    if (read.result != device::kSuccess) {
        read.area.clear();
    }
    return read;
}

}  // namespace qv::driver
