// Arbitrary bytes as the record of where pending edits were made: the text of an old record
// file, and the same text as the trailer of the pending image file. What the record promises:
//  - a record that parses names a keyboard (one line, not empty) and a profile 0..3, and is
//    written back to the same record, as a file and as a trailer;
//  - later lines win: any text followed by a whole record reads as that record;
//  - a trailer is the mark and a record of at most 4 KiB, and reads as the record alone does;
//    anything else after the profile file is no record.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "service/pending_edits.h"

namespace {

using qv::service::PendingOrigin;

constexpr std::size_t kMaxRecordSize = 4096;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The trailer's mark: what a trailer holds before the record.
const std::string& Mark() {
    static const std::string mark = [] {
        const PendingOrigin any{"k", 0};
        const std::string trailer = qv::service::FormatPendingTrailer(any);
        const std::string record = qv::service::FormatPendingOrigin(any);
        Check(trailer.ends_with(record));
        return trailer.substr(0, trailer.size() - record.size());
    }();
    return mark;
}

void CheckWrittenBack(const PendingOrigin& origin) {
    Check(!origin.keyboard.empty() && origin.keyboard.find('\n') == std::string::npos);
    Check(origin.profile >= 0 && origin.profile < 4);
    Check(qv::service::ParsePendingOrigin(qv::service::FormatPendingOrigin(origin)) == origin);
    Check(qv::service::ParsePendingTrailer(qv::service::FormatPendingTrailer(origin)) == origin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<PendingOrigin> origin = qv::service::ParsePendingOrigin(text);
    if (origin) {
        CheckWrittenBack(*origin);
    }

    const PendingOrigin last{"usb:1-2", 3};
    Check(qv::service::ParsePendingOrigin(std::string(text) + "\n" +
                                          qv::service::FormatPendingOrigin(last)) == last);

    // A line of no key added at the end changes no record, so the text can be stretched to the
    // limit (one long line rather than many short ones keeps the parse quick).
    const std::string trailer = Mark() + std::string(text);
    Check(qv::service::ParsePendingTrailer(trailer) ==
          (size <= kMaxRecordSize ? origin : std::nullopt));
    if (size < kMaxRecordSize) {
        std::string longest = trailer + "\n" + std::string(kMaxRecordSize - size - 1, 'x');
        Check(qv::service::ParsePendingTrailer(longest) == origin);
        longest += 'x';
        Check(!qv::service::ParsePendingTrailer(longest).has_value());
    }

    // The text itself as what follows the profile file.
    if (const auto direct = qv::service::ParsePendingTrailer(text)) {
        Check(text.starts_with(Mark()));
        Check(direct == qv::service::ParsePendingOrigin(text.substr(Mark().size())));
        CheckWrittenBack(*direct);
    }
    return 0;
}
