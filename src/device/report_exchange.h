#pragma once

#include <cstddef>

#include "core/bytes.h"

namespace qv::device {

// The one synchronous operation every command uses: send a report and wait for the reply that
// carries the same command number. The transport implements it; tests may stand in for it.
class ReportExchange {
public:
    virtual ~ReportExchange() = default;

    // The request is taken as 64 bytes (cut or zero-padded). receivedLength is 0 on return
    // unless a reply was delivered. Returns 1, 0, -1 or -2 (see command_result.h).
    [[nodiscard]] virtual int Exchange(Bytes request, MutableBytes reply,
                                       std::size_t& receivedLength) = 0;
};

}  // namespace qv::device
