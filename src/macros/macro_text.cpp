#include "macros/macro_text.h"

#include <cctype>
#include <charconv>

#include "core/text.h"
#include "keys/key_name_parser.h"

namespace qv::macros {
namespace {

struct DelayStep {
    enum class Kind { NotADelay, Bad, Good } kind = Kind::NotADelay;
    std::uint32_t milliseconds = 0;
};

// "100", "100ms", "100 ms", "wait 100".
DelayStep ParseDelay(std::string_view step) {
    std::string text = AsciiLower(step);
    std::string_view view = text;
    if (view.starts_with("wait")) {
        view = Trim(view.substr(4), kAsciiWhitespace);
    } else if (view.empty() || !std::isdigit(static_cast<unsigned char>(view.front()))) {
        return {};
    }
    if (view.ends_with("ms")) {
        view = Trim(view.substr(0, view.size() - 2), kAsciiWhitespace);
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (error != std::errc() || end != view.data() + view.size() || value > kMaxMacroDelayMs) {
        return {DelayStep::Kind::Bad};
    }
    return {DelayStep::Kind::Good, static_cast<std::uint32_t>(value)};
}

std::vector<std::string_view> SplitSteps(std::string_view text) {
    std::vector<std::string_view> steps;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',' || text[i] == '\n' || text[i] == ';') {
            if (const std::string_view step = Trim(text.substr(start, i - start), kAsciiWhitespace);
                !step.empty()) {
                steps.push_back(step);
            }
            start = i + 1;
        }
    }
    return steps;
}

}  // namespace

std::variant<std::vector<MacroAction>, MacroTextError> ParseMacroText(
    std::string_view text, const keys::TextLookupFn& lookup) {
    if (text.size() > kMaxMacroTextBytes) {
        return MacroTextError{"the steps are longer than " + std::to_string(kMaxMacroTextBytes) +
                              " bytes; a macro holds at most " + std::to_string(kMaxMacroActions) +
                              " steps"};
    }
    std::vector<MacroAction> actions;
    const std::vector<std::string_view> steps = SplitSteps(text);
    for (std::size_t index = 0; index < steps.size(); ++index) {
        const std::string_view step = steps[index];
        const std::string where =
            "step " + std::to_string(index + 1) + " (\"" + std::string(step) + "\")";
        if (const DelayStep delay = ParseDelay(step); delay.kind != DelayStep::Kind::NotADelay) {
            if (delay.kind == DelayStep::Kind::Bad) {
                return MacroTextError{where + ": a delay is 0 to " +
                                      std::to_string(kMaxMacroDelayMs) + " milliseconds"};
            }
            if (actions.empty()) {
                return MacroTextError{where + ": a delay follows a key step"};
            }
            actions.back().delay = delay.milliseconds;
            continue;
        }
        const std::size_t blank = step.find_first_of(" \t");
        const std::string verb = AsciiLower(step.substr(0, blank));
        const std::string_view keyText = blank == std::string_view::npos
                                             ? std::string_view()
                                             : Trim(step.substr(blank), kAsciiWhitespace);
        const bool press = verb == "press" || verb == "down";
        const bool release = verb == "release" || verb == "up";
        const bool tap = verb == "tap";
        if (!press && !release && !tap) {
            return MacroTextError{where + ": expected press, release, tap or a delay"};
        }
        const auto key = keys::ParseKeyName(keyText, lookup);
        if (!key) {
            return MacroTextError{where + ": unknown key \"" + std::string(keyText) + "\""};
        }
        const std::size_t added = tap ? 2 : 1;
        if (actions.size() + added > kMaxMacroActions) {
            return MacroTextError{where + ": a macro holds at most " +
                                  std::to_string(kMaxMacroActions) + " steps"};
        }
        if (press || tap) {
            actions.push_back({0, *key, KeyState::Press});
        }
        if (release || tap) {
            actions.push_back({0, *key, KeyState::Release});
        }
    }
    if (actions.empty()) {
        return MacroTextError{"a macro needs at least one key step"};
    }
    return actions;
}

std::string FormatMacroSteps(const std::vector<MacroAction>& actions,
                             const keys::TextLookupFn& lookup) {
    std::string text;
    for (const MacroAction& action : actions) {
        text += action.state == KeyState::Press ? "press   " : "release ";
        text += keys::KeyName(action.key, lookup);
        if (action.delay != 0) {
            text += ", then " + std::to_string(action.delay) + " ms";
        }
        text += '\n';
    }
    return text;
}

}  // namespace qv::macros
