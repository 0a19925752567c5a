// Arbitrary bytes as a hand-off request arriving on the instance socket, where any process of
// this user may connect and send anything. Only a request of exactly its size is taken, and a
// taken request is the one its number and tag encode to.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "platform/hand_off_message.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv::platform;
    const std::optional<HandOffRequest> request = ParseHandOff({data, size});
    Check(request.has_value() == (size == kHandOffRequestSize));
    if (request) {
        const HandOffBytes encoded = EncodeHandOff(*request);
        Check(std::equal(encoded.begin(), encoded.end(), data));
    }
    return 0;
}
