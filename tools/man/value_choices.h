#pragma once
// What may follow an option or stand for a positional argument, read from how the help shows
// it: a range ("INT in [1 - 4]"), a set ("TEXT:{on,off}"), a file type, a name such as "file",
// or choices the description puts in single quotes ('real', 'sim' or 'sim:PATH').

#include <string>
#include <vector>

#include "help_page.h"

namespace qv::helpdoc {

struct ValueChoices {
    std::vector<std::string> words;
    // A file name may follow each of these; "" stands for a plain file name.
    std::vector<std::string> filePrefixes;

    bool empty() const { return words.empty() && filePrefixes.empty(); }
};

// Ranges longer than this are not worth listing.
constexpr int kMaxListedRange = 16;

// Nothing for a flag, which takes no value.
ValueChoices ChoicesFor(const HelpEntry& entry, bool positional);

}  // namespace qv::helpdoc
