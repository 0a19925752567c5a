#pragma once
// Small string helpers shared by the help reader and the writers.

#include <string>
#include <string_view>
#include <vector>

namespace qv::helpdoc {

bool IsSpace(char c);
std::string_view Trim(std::string_view text);
// Without the blank lines at the start and the end.
std::string_view TrimLines(std::string_view text);
std::size_t IndentOf(std::string_view line);
std::string Lower(std::string_view text);

// Lines without their "\r"; a final line break ends the last line rather than adding one.
std::vector<std::string> SplitLines(std::string_view text);
// Words separated by runs of blanks.
std::vector<std::string> SplitWords(std::string_view text);
// Parts between separators, blanks around them kept.
std::vector<std::string> SplitOn(std::string_view text, char separator);
std::string Join(const std::vector<std::string>& parts, std::string_view separator);
std::string JoinWords(const std::vector<std::string>& words);

// A wrapped line appended to the text before it: with a blank, unless the line break was
// taken right after a hyphen inside a word.
std::string JoinWrapped(std::string_view text, std::string_view next);

}  // namespace qv::helpdoc
