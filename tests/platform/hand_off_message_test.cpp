#include "platform/hand_off_message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qv::platform {
namespace {

TEST(HandOffMessageTest, NumberThenTagLittleEndian) {
    const HandOffBytes bytes = EncodeHandOff({0x04030201u, 0xA0B0C0D0u});
    EXPECT_EQ(bytes, (HandOffBytes{0x01, 0x02, 0x03, 0x04, 0xD0, 0xC0, 0xB0, 0xA0}));
    EXPECT_EQ(ParseHandOff(bytes), (HandOffRequest{0x04030201u, 0xA0B0C0D0u}));
}

TEST(HandOffMessageTest, OnlyARequestOfExactlyEightBytesIsTaken) {
    const HandOffBytes whole = EncodeHandOff({7, 9});
    for (const std::size_t size : {0u, 1u, 4u, 7u}) {
        EXPECT_FALSE(ParseHandOff(std::span(whole).first(size))) << size << " bytes";
    }
    std::vector<std::uint8_t> longer(whole.begin(), whole.end());
    longer.push_back(0);
    EXPECT_FALSE(ParseHandOff(longer));
}

}  // namespace
}  // namespace qv::platform
