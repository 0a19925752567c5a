#include "roff_page.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <regex>
#include <utility>

#include "text_util.h"

namespace qv::helpdoc {
namespace {

std::string EscapeInline(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '`') {
            const std::size_t close = text.find('`', i + 1);
            if (close != std::string_view::npos && close > i + 1) {
                out += "\\fB" + EscapeInline(text.substr(i + 1, close - i - 1)) + "\\fR";
                i = close;
            } else {
                out += "\\(ga";
            }
        } else if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            // A minus sign, so that options and commands copied from the page still work.
            out += "\\-";
        } else {
            out += c;
        }
    }
    return out;
}

// A macro argument: quoted, with its own double quotes as characters.
std::string MacroArgument(std::string_view text) {
    std::string out = "\"";
    for (const char c : EscapeInline(text)) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return out + "\"";
}

std::string Bold(std::string_view text) {
    return "\\fB" + EscapeInline(text) + "\\fR";
}
std::string Italic(std::string_view text) {
    return "\\fI" + EscapeInline(text) + "\\fR";
}

// A line of program text that roff must neither fill nor read as a request.
std::string CodeLine(std::string_view text) {
    return ".nf\n\\&" + Bold(text) + "\n.fi\n";
}

std::vector<std::string> Paragraphs(std::string_view text) {
    std::vector<std::string> paragraphs;
    std::string current;
    for (const std::string& line : SplitLines(text)) {
        if (Trim(line).empty()) {
            if (!current.empty()) {
                paragraphs.push_back(std::move(current));
                current.clear();
            }
            continue;
        }
        current += current.empty() ? "" : "\n";
        current += Trim(line);
    }
    if (!current.empty()) {
        paragraphs.push_back(std::move(current));
    }
    return paragraphs;
}

void WriteParagraphs(std::string& out, const std::vector<std::string>& paragraphs,
                     bool firstInSection) {
    for (const std::string& paragraph : paragraphs) {
        if (!firstInSection) {
            out += ".PP\n";
        }
        out += EscapeRoffText(paragraph);
        firstInSection = false;
    }
}

// CLI11 prints a type with its check, "INT:INT in [1 - 4]" or "TEXT:{on,off}"; the check alone
// says it.
std::string ShownType(std::string_view type) {
    const std::size_t colon = type.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= type.size()) {
        return std::string(type);
    }
    const std::string_view head = type.substr(0, colon);
    const bool typeName = std::all_of(head.begin(), head.end(), [](char c) {
        return std::isupper(static_cast<unsigned char>(c)) != 0;
    });
    return typeName ? std::string(type.substr(colon + 1)) : std::string(type);
}

// Qt shows a value as "<file>".
std::string ValueName(std::string_view type) {
    std::string shown = ShownType(type);
    if (shown.size() > 2 && shown.front() == '<' && shown.back() == '>') {
        shown = shown.substr(1, shown.size() - 2);
    }
    return shown;
}

bool IsHelpOption(const HelpEntry& entry) {
    return std::find(entry.names.begin(), entry.names.end(), "--help") != entry.names.end();
}

void WriteEntries(std::string& out, const std::vector<HelpEntry>& entries, bool positional,
                  bool skipHelp) {
    for (const HelpEntry& entry : entries) {
        if (skipHelp && IsHelpOption(entry)) {
            continue;
        }
        out += ".TP\n";
        if (positional) {
            out += Italic(entry.names.front());
            const std::string type = ShownType(entry.valueType);
            if (!type.empty() && type != "TEXT") {
                out += " (" + EscapeInline(type) + ")";
            }
        } else {
            std::vector<std::string> names;
            for (const std::string& name : entry.names) {
                names.push_back(Bold(name));
            }
            out += Join(names, ", ");
            if (!entry.valueType.empty()) {
                out += " " + Italic(ValueName(entry.valueType));
            }
            if (entry.required) {
                out += " (required)";
            }
        }
        out += "\n";
        out += entry.description.empty() ? std::string(".br\n") : EscapeRoffText(entry.description);
    }
}

// Under a label, the first example follows it without a blank line.
void WriteExamples(std::string& out, const std::vector<Example>& examples, bool labelled) {
    for (const Example& example : examples) {
        out += &example == &examples.front() && labelled ? ".br\n" : ".PP\n";
        out += CodeLine(example.command);
        if (!example.note.empty()) {
            out += ".RS 4\n" + EscapeRoffText(example.note) + ".RE\n";
        }
    }
}

// The description's first sentence, without the program's name in front, is the NAME line;
// the rest is the description.
struct Intro {
    std::string summary;
    std::string rest;
};

Intro SplitIntro(std::string_view description, std::string_view name) {
    std::vector<std::string> paragraphs = Paragraphs(description);
    if (paragraphs.empty()) {
        return {};
    }
    std::string first = paragraphs.front();
    std::replace(first.begin(), first.end(), '\n', ' ');
    std::size_t end = first.size();
    for (std::size_t i = 0; i + 2 < first.size(); ++i) {
        if (first[i] == '.' && first[i + 1] == ' ' &&
            std::isupper(static_cast<unsigned char>(first[i + 2]))) {
            end = i + 1;
            break;
        }
    }
    Intro intro;
    std::string_view summary = Trim(std::string_view(first).substr(0, end));
    if (summary.ends_with('.')) {
        summary.remove_suffix(1);
    }
    if (Lower(summary).starts_with(Lower(name))) {
        const std::string_view after = summary.substr(name.size());
        for (const std::string_view separator : {" - ", " -- ", ": "}) {
            if (after.starts_with(separator)) {
                summary = Trim(after.substr(separator.size()));
                break;
            }
        }
    }
    intro.summary = std::string(summary);
    paragraphs.front() = std::string(Trim(std::string_view(first).substr(end)));
    if (paragraphs.front().empty()) {
        paragraphs.erase(paragraphs.begin());
    }
    intro.rest = Join(paragraphs, "\n\n");
    return intro;
}

// Words of a command line as a shell would split them.
std::vector<std::string> ShellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : line) {
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else {
                word += c;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (IsSpace(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

const HelpEntry* FindOption(const HelpPage& page, std::string_view name) {
    for (const HelpEntry& entry : page.options) {
        if (std::find(entry.names.begin(), entry.names.end(), name) != entry.names.end()) {
            return &entry;
        }
    }
    return nullptr;
}

struct Mention {
    std::string name;
    std::string text;
};

void AddMention(std::vector<Mention>& mentions, std::string name, std::string text) {
    const bool known = std::any_of(mentions.begin(), mentions.end(),
                                   [&](const Mention& m) { return m.name == name; });
    if (!known) {
        mentions.push_back({std::move(name), std::move(text)});
    }
}

std::string SentenceAround(const std::string& text, std::size_t at) {
    std::size_t start = 0;
    for (std::size_t i = at; i > 1; --i) {
        if (text[i - 2] == '.' && text[i - 1] == ' ') {
            start = i;
            break;
        }
    }
    std::size_t end = text.find(". ", at);
    end = end == std::string::npos ? text.size() : end + 1;
    return std::string(Trim(std::string_view(text).substr(start, end - start)));
}

// Files and environment variables the help talks about: "~/.config/x", "$XDG_STATE_HOME/y".
void CollectMentions(std::string_view prose, std::vector<Mention>& files,
                     std::vector<Mention>& environment) {
    static const std::regex kVariable{R"(\$\{?([A-Z][A-Z0-9_]*)\}?(?![A-Za-z0-9_]))"};
    static const std::regex kPath{
        R"((?:~|\$\{?[A-Z][A-Z0-9_]*\}?|/(?:etc|usr|var|run|dev|home|tmp))(?:/[^\s,;()'"`]+)+)"};
    std::string text(prose);
    std::replace(text.begin(), text.end(), '\n', ' ');
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kPath);
         it != std::sregex_iterator(); ++it) {
        std::string path = it->str();
        while (!path.empty() && (path.back() == '.' || path.back() == ':')) {
            path.pop_back();
        }
        AddMention(files, path, SentenceAround(text, static_cast<std::size_t>(it->position())));
    }
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kVariable);
         it != std::sregex_iterator(); ++it) {
        AddMention(environment, (*it)[1].str(),
                   SentenceAround(text, static_cast<std::size_t>(it->position())));
    }
}

void ForEachCommand(const Command& command, const std::function<void(const Command&)>& visit) {
    for (const Command& sub : command.subcommands) {
        visit(sub);
        ForEachCommand(sub, visit);
    }
}

void WriteMentions(std::string& out, const char* heading, const std::vector<Mention>& mentions,
                   bool files) {
    if (mentions.empty()) {
        return;
    }
    out += std::string(".SH ") + heading + "\n";
    for (const Mention& mention : mentions) {
        out += ".TP\n" + (files ? Italic(mention.name) : Bold(mention.name)) + "\n";
        out += mention.text.empty() ? std::string(".br\n") : EscapeRoffText(mention.text);
    }
}

class PageWriter {
public:
    PageWriter(const Command& program, const ManPageInfo& info) : program_(program), info_(info) {}

    std::string Write() {
        const Footer footer = ParseFooter(program_.help.footer);
        programExamples_ = footer.examples;
        const Intro intro = SplitIntro(program_.help.description, info_.name);
        Scan(program_, footer);

        out_ += ".\\\" Written at build time from the output of \"" + info_.name + " --help\"" +
                (program_.subcommands.empty() ? "" : " and of --help for each of its commands") +
                ".\n";
        out_ += ".TH " + MacroArgument(Upper(info_.name)) + " 1 " + MacroArgument(info_.date) +
                " " + MacroArgument(info_.source) + " \"User Commands\"\n";
        out_ +=
            ".SH NAME\n" + EscapeInline(info_.name) + " \\- " + EscapeInline(intro.summary) + "\n";
        out_ += ".SH SYNOPSIS\n" + Usage(program_.help.usage);

        out_ += ".SH DESCRIPTION\n";
        std::vector<std::string> description = Paragraphs(intro.rest);
        if (description.empty()) {
            description.push_back(intro.summary + ".");
        }
        description.insert(description.end(), footer.paragraphs.begin(), footer.paragraphs.end());
        WriteParagraphs(out_, description, true);

        if (!program_.help.options.empty() || !program_.help.positionals.empty()) {
            out_ += ".SH OPTIONS\n";
            WriteEntries(out_, program_.help.positionals, true, false);
            WriteEntries(out_, program_.help.options, false, false);
        }
        WriteCommands(footer);
        WriteExitStatus(footer.exitStatus);
        WriteMentions(out_, "ENVIRONMENT", environment_, false);
        WriteMentions(out_, "FILES", files_, true);
        if (!footer.examples.empty()) {
            out_ += ".SH EXAMPLES\n";
            WriteExamples(out_, footer.examples, false);
        }
        if (!info_.seeAlso.empty()) {
            out_ += ".SH SEE ALSO\n";
            for (std::size_t i = 0; i < info_.seeAlso.size(); ++i) {
                out_ += ".BR " + EscapeInline(info_.seeAlso[i]) + " (1)" +
                        (i + 1 < info_.seeAlso.size() ? ",\n" : "\n");
            }
        }
        return out_;
    }

private:
    static std::string Upper(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    }

    // The usage line with the command in bold; it may be long, so roff may break it.
    std::string Usage(std::string_view usage) const {
        const std::vector<std::string> words = SplitWords(usage);
        std::size_t commandWords = 1;
        const Command* at = &program_;
        while (commandWords < words.size()) {
            const auto sub = std::find_if(
                at->subcommands.begin(), at->subcommands.end(),
                [&](const Command& c) { return c.path.back() == words[commandWords]; });
            if (sub == at->subcommands.end()) {
                break;
            }
            at = &*sub;
            ++commandWords;
        }
        const std::vector<std::string> head(
            words.begin(), words.begin() + static_cast<std::ptrdiff_t>(commandWords));
        const std::vector<std::string> tail(
            words.begin() + static_cast<std::ptrdiff_t>(commandWords), words.end());
        std::string line = "\\&" + Bold(JoinWords(head));
        if (!tail.empty()) {
            line += " " + EscapeInline(JoinWords(tail));
        }
        return line + "\n";
    }

    void Scan(const Command& program, const Footer& footer) {
        for (const HelpEntry& entry : footer.files) {
            AddMention(files_, entry.names.front(), entry.description);
        }
        for (const HelpEntry& entry : footer.environment) {
            AddMention(environment_, entry.names.front(), entry.description);
        }
        const auto scanPage = [&](const HelpPage& page) {
            CollectMentions(page.description, files_, environment_);
            for (const auto* list : {&page.options, &page.positionals}) {
                for (const HelpEntry& entry : *list) {
                    CollectMentions(entry.description, files_, environment_);
                    if (!entry.envVar.empty()) {
                        AddMention(environment_, entry.envVar,
                                   "Sets " + entry.names.back() + " when it is not given.");
                    }
                }
            }
            const Footer own = ParseFooter(page.footer);
            for (const std::string& paragraph : own.paragraphs) {
                CollectMentions(paragraph, files_, environment_);
            }
        };
        scanPage(program.help);
        ForEachCommand(program, [&](const Command& command) { scanPage(command.help); });
    }

    void WriteCommands(const Footer& programFooter) {
        if (program_.subcommands.empty()) {
            return;
        }
        bool everyCommandHasHelp = true;
        ForEachCommand(program_, [&](const Command& command) {
            everyCommandHasHelp =
                everyCommandHasHelp &&
                std::any_of(command.help.options.begin(), command.help.options.end(), IsHelpOption);
        });
        out_ += ".SH COMMANDS\n";
        if (everyCommandHasHelp) {
            out_ += "Every command also takes " + Bold("-h") + ", " + Bold("--help") +
                    ", which prints its help.\n";
        }
        for (const Command& command : program_.subcommands) {
            WriteCommand(command, programFooter, everyCommandHasHelp);
        }
    }

    void WriteCommand(const Command& command, const Footer& parentFooter, bool skipHelp) {
        const Footer footer = ParseFooter(command.help.footer);
        out_ += ".SS " + MacroArgument(command.PathText()) + "\n";
        out_ += Usage(command.help.usage);
        std::vector<std::string> paragraphs = Paragraphs(command.help.description);
        for (const std::string& paragraph : footer.paragraphs) {
            if (std::find(parentFooter.paragraphs.begin(), parentFooter.paragraphs.end(),
                          paragraph) == parentFooter.paragraphs.end()) {
                paragraphs.push_back(paragraph);
            }
        }
        if (!footer.exitStatus.empty() && footer.exitStatus != parentFooter.exitStatus) {
            paragraphs.push_back("Exit codes: " + footer.exitStatus);
        }
        if (!command.subcommands.empty()) {
            std::vector<std::string> names;
            for (const Command& sub : command.subcommands) {
                names.push_back("`" + sub.PathText() + "`");
            }
            paragraphs.push_back("Commands: " + Join(names, ", ") + ".");
        }
        WriteParagraphs(out_, paragraphs, false);
        WriteEntries(out_, command.help.positionals, true, false);
        WriteEntries(out_, command.help.options, false, skipHelp);

        // Its own examples, and those of the program's that run it.
        std::vector<Example> examples;
        for (const std::vector<Example>* list :
             {&footer.examples, &std::as_const(programExamples_)}) {
            for (const Example& example : *list) {
                const bool listed = std::any_of(examples.begin(), examples.end(), [&](auto& e) {
                    return e.command == example.command;
                });
                if (!listed && ExampleTarget(program_, example.command) == command.path) {
                    examples.push_back(example);
                }
            }
        }
        if (!examples.empty()) {
            out_ += ".PP\n" + Italic(examples.size() == 1 ? "Example:" : "Examples:") + "\n";
            WriteExamples(out_, examples, true);
        }
        for (const Command& sub : command.subcommands) {
            WriteCommand(sub, footer, skipHelp);
        }
    }

    void WriteExitStatus(const std::string& exitStatus) {
        if (exitStatus.empty()) {
            return;
        }
        out_ += ".SH EXIT STATUS\n";
        const auto codes = SplitExitCodes(exitStatus);
        if (codes.empty()) {
            out_ += EscapeRoffText(exitStatus);
            return;
        }
        for (const auto& [code, meaning] : codes) {
            out_ += ".TP\n" + Bold(code) + "\n" + EscapeRoffText(meaning);
        }
    }

    const Command& program_;
    const ManPageInfo& info_;
    std::string out_;
    std::vector<Example> programExamples_;
    std::vector<Mention> files_;
    std::vector<Mention> environment_;
};

}  // namespace

std::string WriteManPage(const Command& program, const ManPageInfo& info) {
    return PageWriter(program, info).Write();
}

std::string EscapeRoffText(std::string_view text) {
    std::string out;
    for (const std::string& line : SplitLines(text)) {
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty()) {
            continue;
        }
        const std::string escaped = EscapeInline(trimmed);
        if (escaped.front() == '.' || escaped.front() == '\'') {
            out += "\\&";
        }
        out += escaped + "\n";
    }
    return out;
}

std::vector<std::string> ExampleTarget(const Command& program, std::string_view exampleCommand) {
    const std::vector<std::string> words = ShellWords(exampleCommand);
    const Command* at = &program;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.starts_with("-")) {
            const HelpEntry* option = FindOption(at->help, word);
            if (option != nullptr && !option->valueType.empty() &&
                word.find('=') == std::string::npos) {
                ++i;  // its value
            }
            continue;
        }
        const auto sub =
            std::find_if(at->subcommands.begin(), at->subcommands.end(),
                         [&](const Command& command) { return command.path.back() == word; });
        if (sub == at->subcommands.end()) {
            break;
        }
        at = &*sub;
    }
    return at->path;
}

}  // namespace qv::helpdoc
