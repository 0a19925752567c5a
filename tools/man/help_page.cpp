#include "help_page.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "text_util.h"

namespace qv::helpdoc {
namespace {

// Entries start two columns in; their wrapped lines, deeper.
constexpr std::size_t kEntryIndent = 2;

enum class SectionKind { Options, Positionals, Subcommands, NotAList };

bool IsHeaderLine(const std::vector<std::string>& lines, std::size_t i) {
    const std::string& line = lines[i];
    return !line.empty() && !IsSpace(line.front()) && line.back() == ':' && line.size() <= 60 &&
           i + 1 < lines.size() && IndentOf(lines[i + 1]) >= kEntryIndent &&
           !Trim(lines[i + 1]).empty();
}

// The first word of an entry line, up to a blank or a comma.
std::string FirstWord(std::string_view line) {
    const std::string_view text = Trim(line);
    const std::size_t end = text.find_first_of(" ,");
    return std::string(text.substr(0, end));
}

bool IsCommandWord(std::string_view word) {
    return !word.empty() && std::islower(static_cast<unsigned char>(word.front())) &&
           std::all_of(word.begin(), word.end(), [](char c) {
               return std::islower(static_cast<unsigned char>(c)) ||
                      std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '_';
           });
}

// CLI11 and Qt name their lists "Options:", "Positionals:", "Arguments:", "Subcommands:"; a
// list under a group name of the program's own is told by its entries. Anything else (such as
// "Examples:") is the footer.
SectionKind KindOf(std::string_view header, const std::vector<std::string_view>& entryLines,
                   std::string_view programName) {
    const std::string name = Lower(Trim(header.substr(0, header.size() - 1)));
    if (name == "options" || name == "flags") {
        return SectionKind::Options;
    }
    if (name == "positionals" || name == "arguments") {
        return SectionKind::Positionals;
    }
    if (name == "subcommands" || name == "commands") {
        return SectionKind::Subcommands;
    }
    const auto firstLevel = [](std::string_view line) { return IndentOf(line) == kEntryIndent; };
    const bool allOptions = std::all_of(entryLines.begin(), entryLines.end(), [&](auto line) {
        return !firstLevel(line) || Trim(line).front() == '-';
    });
    if (allOptions) {
        return SectionKind::Options;
    }
    const bool allCommands = std::all_of(entryLines.begin(), entryLines.end(), [&](auto line) {
        const std::string word = FirstWord(line);
        return !firstLevel(line) || (IsCommandWord(word) && word != programName);
    });
    return allCommands ? SectionKind::Subcommands : SectionKind::NotAList;
}

// "-h, --help" as CLI11 2.4 and Qt print it, made one word like CLI11 2.1's "-h,--help".
std::string JoinNameList(std::string_view line) {
    std::string out;
    std::size_t wordStart = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        out += line[i];
        if (line[i] == ' ') {
            wordStart = out.size();
        } else if (line[i] == ',' && wordStart < out.size() && out[wordStart] == '-') {
            std::size_t next = i + 1;
            while (next < line.size() && line[next] == ' ') {
                ++next;
            }
            if (next < line.size() && line[next] == '-') {
                i = next - 1;
            }
        }
    }
    return out;
}

// The column the descriptions of a list start in: where wrapped lines start, or where the text
// after a gap starts.
std::size_t DescriptionColumn(const std::vector<std::string_view>& lines) {
    std::map<std::size_t, int> votes;
    for (const std::string_view line : lines) {
        const std::size_t indent = IndentOf(line);
        if (indent > kEntryIndent) {
            ++votes[indent];
            continue;
        }
        const std::string joined = JoinNameList(line);
        const std::size_t gap = joined.find("  ", indent);
        const std::size_t start =
            gap == std::string::npos ? gap : joined.find_first_not_of(' ', gap);
        if (start != std::string::npos) {
            ++votes[start + line.size() - joined.size()];
        }
    }
    const auto best = std::max_element(votes.begin(), votes.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    return best == votes.end() ? 0 : best->first;
}

bool IsBalanced(std::string_view text) {
    int depth = 0;
    for (const char c : text) {
        depth += (c == '[' || c == '{' || c == '(' || c == '<') ? 1 : 0;
        depth -= (c == ']' || c == '}' || c == ')' || c == '>') ? 1 : 0;
        if (depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

HelpEntry ParseEntry(std::string_view first, const std::vector<std::string_view>& wrapped,
                     SectionKind kind, std::size_t column) {
    HelpEntry entry;
    const std::string text = JoinNameList(first);
    const std::size_t shift = first.size() - text.size();
    std::size_t gap = text.find("  ", IndentOf(text));
    // CLI11 leaves a single blank when the names fill the column to its last character. Names
    // too long for the column are alone on their line, and a blank there may fall inside the
    // value's type ("INT in [0 - 3]"), which a split would leave unbalanced.
    if (gap == std::string::npos && column > shift + kEntryIndent + 1 &&
        text.size() > column - shift && text[column - shift - 1] == ' ' &&
        IsBalanced(std::string_view(text).substr(0, column - shift - 1))) {
        gap = column - shift - 1;
    }
    const std::string_view left = Trim(std::string_view(text).substr(0, gap));
    if (gap != std::string::npos) {
        entry.description = std::string(Trim(std::string_view(text).substr(gap)));
    }
    for (const std::string_view line : wrapped) {
        entry.description = JoinWrapped(entry.description, Trim(line));
    }

    std::vector<std::string> tokens = SplitWords(left);
    if (tokens.empty()) {
        return entry;
    }
    if (kind == SectionKind::Options) {
        entry.names = SplitOn(tokens.front(), ',');
    } else {
        entry.names = {tokens.front()};
    }
    if (kind == SectionKind::Subcommands) {
        return entry;
    }
    std::vector<std::string> type;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "REQUIRED") {
            entry.required = true;
        } else if (token.starts_with("(Env:") && token.ends_with(")")) {
            entry.envVar = token.substr(5, token.size() - 6);
        } else if (token == "Excludes:" || token == "Needs:") {
            break;  // the options it goes with or against, not its value
        } else {
            type.push_back(token);
        }
    }
    entry.valueType = JoinWords(type);
    return entry;
}

// Entries of one list: a line two columns in starts one, deeper lines continue it.
std::vector<HelpEntry> ParseEntries(const std::vector<std::string_view>& lines, SectionKind kind) {
    std::vector<HelpEntry> entries;
    const std::size_t column = DescriptionColumn(lines);
    for (std::size_t i = 0; i < lines.size();) {
        const std::string_view first = lines[i++];
        std::vector<std::string_view> wrapped;
        while (i < lines.size() && IndentOf(lines[i]) > kEntryIndent) {
            wrapped.push_back(lines[i++]);
        }
        HelpEntry entry = ParseEntry(first, wrapped, kind, column);
        if (!entry.names.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::string UsageWithName(std::string_view usageLine, std::string_view programName) {
    std::string_view rest = Trim(usageLine.substr(usageLine.find(':') + 1));
    const std::size_t end = rest.find(' ');
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    return std::string(programName) + std::string(rest);
}

void AddParagraphLine(std::string& paragraphs, std::string_view line, bool& blankBefore) {
    const std::string_view text = Trim(line);
    if (text.empty()) {
        blankBefore = !paragraphs.empty();
        return;
    }
    if (!paragraphs.empty()) {
        paragraphs += blankBefore ? "\n\n" : "\n";
    }
    paragraphs += text;
    blankBefore = false;
}

}  // namespace

std::optional<HelpPage> ParseHelp(std::string_view text, std::string_view programName) {
    const std::vector<std::string> lines = SplitLines(text);
    const auto usageAt = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return Lower(Trim(line)).starts_with("usage:");
    });
    if (usageAt == lines.end()) {
        return std::nullopt;
    }
    HelpPage page;
    page.usage = UsageWithName(*usageAt, programName);

    // CLI11 prints the description above the usage line, Qt below it.
    bool blankBefore = false;
    for (auto line = lines.begin(); line != usageAt; ++line) {
        AddParagraphLine(page.description, *line, blankBefore);
    }
    std::size_t i = static_cast<std::size_t>(usageAt - lines.begin()) + 1;
    blankBefore = true;
    for (; i < lines.size() && !IsHeaderLine(lines, i); ++i) {
        AddParagraphLine(page.description, lines[i], blankBefore);
    }

    std::size_t footerFrom = lines.size();
    while (i < lines.size()) {
        if (Trim(lines[i]).empty()) {
            ++i;
            continue;
        }
        if (!IsHeaderLine(lines, i)) {
            footerFrom = i;
            break;
        }
        std::vector<std::string_view> entryLines;
        std::size_t next = i + 1;
        for (; next < lines.size() && IndentOf(lines[next]) > 0 && !Trim(lines[next]).empty();
             ++next) {
            entryLines.push_back(lines[next]);
        }
        const SectionKind kind = KindOf(lines[i], entryLines, programName);
        if (kind == SectionKind::NotAList) {
            footerFrom = i;
            break;
        }
        std::vector<HelpEntry> entries = ParseEntries(entryLines, kind);
        auto& list = kind == SectionKind::Options       ? page.options
                     : kind == SectionKind::Positionals ? page.positionals
                                                        : page.subcommands;
        list.insert(list.end(), entries.begin(), entries.end());
        i = next;
    }
    for (std::size_t k = footerFrom; k < lines.size(); ++k) {
        page.footer += lines[k];
        page.footer += '\n';
    }
    page.footer = std::string(TrimLines(page.footer));
    return page;
}

Footer ParseFooter(std::string_view text) {
    Footer footer;
    const std::vector<std::string> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size();) {
        if (Trim(lines[i]).empty()) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < lines.size() && !Trim(lines[end]).empty()) {
            ++end;
        }
        const std::string& first = lines[i];
        const bool headed = first.back() == ':' && !IsSpace(first.front()) && end > i + 1 &&
                            IndentOf(lines[i + 1]) > 0;
        if (headed) {
            // A list ends where the next line starts at the margin, such as another heading.
            end = i + 1;
            while (end < lines.size() && IndentOf(lines[end]) > 0 && !Trim(lines[end]).empty()) {
                ++end;
            }
        }
        const std::string heading = headed ? Lower(Trim(first)) : std::string{};
        std::vector<std::string_view> body(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                           lines.begin() + static_cast<std::ptrdiff_t>(end));
        if (heading.starts_with("example")) {
            const std::size_t itemIndent = IndentOf(body.front());
            for (const std::string_view line : body) {
                const std::string_view item = Trim(line);
                const std::size_t gap = item.find("  ");
                if (IndentOf(line) > itemIndent && !footer.examples.empty()) {
                    auto& note = footer.examples.back().note;
                    note = JoinWrapped(note, item);
                } else {
                    footer.examples.push_back({std::string(Trim(item.substr(0, gap))),
                                               gap == std::string_view::npos
                                                   ? std::string{}
                                                   : std::string(Trim(item.substr(gap)))});
                }
            }
        } else if (heading == "exit codes:" || heading == "exit status:") {
            std::vector<std::string> items;
            for (const std::string_view line : body) {
                items.push_back(JoinWords(SplitWords(line)));
            }
            footer.exitStatus = Join(items, ", ");
        } else if (heading == "files:" || heading == "environment:") {
            auto entries = ParseEntries(body, SectionKind::Positionals);
            auto& list = heading == "files:" ? footer.files : footer.environment;
            list.insert(list.end(), entries.begin(), entries.end());
        } else {
            std::string paragraph;
            for (std::size_t k = i; k < end; ++k) {
                const std::string_view line = Trim(lines[k]);
                const std::string lower = Lower(line);
                if (lower.starts_with("exit codes:") || lower.starts_with("exit status:")) {
                    footer.exitStatus = std::string(Trim(line.substr(line.find(':') + 1)));
                    continue;
                }
                paragraph += paragraph.empty() ? "" : "\n";
                paragraph += line;
            }
            if (!paragraph.empty()) {
                footer.paragraphs.push_back(std::move(paragraph));
            }
        }
        i = end;
    }
    return footer;
}

std::vector<std::pair<std::string, std::string>> SplitExitCodes(std::string_view exitStatus) {
    std::string_view text = Trim(exitStatus);
    if (text.ends_with('.')) {
        text.remove_suffix(1);
    }
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& item : SplitOn(text, ',')) {
        const std::string_view part = Trim(item);
        const std::size_t digits = static_cast<std::size_t>(
            std::find_if(part.begin(), part.end(),
                         [](char c) { return !std::isdigit(static_cast<unsigned char>(c)); }) -
            part.begin());
        if (digits == 0 || digits >= part.size() || part[digits] != ' ') {
            return {};
        }
        codes.emplace_back(std::string(part.substr(0, digits)),
                           std::string(Trim(part.substr(digits))));
    }
    return codes;
}

}  // namespace qv::helpdoc
