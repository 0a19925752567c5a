#include "bash_completion.h"

#include <cctype>

#include "text_util.h"
#include "value_choices.h"

namespace qv::helpdoc {
namespace {

// The part of the script that does not depend on the commands; PREFIX_ stands for the
// program's function prefix.
constexpr const char* kCompletionLogic = R"BASH(
# Adds to candidates, each after lead, the words that fit value and the file names that may
# follow one of file_prefixes ('' for a plain file name); PREFIX_values sets both.
PREFIX_add_values() {
    local lead=$1 value=$2 word prefix
    for word in "${words[@]}"; do
        # "sim:" typed in full: the file names after it are what is left to offer.
        [[ $word == "$value" && " ${file_prefixes[*]} " == *" $word "* ]] && continue
        [[ $word == "$value"* ]] && candidates+=("$lead$word")
    done
    for prefix in "${file_prefixes[@]}"; do
        [[ $value == "$prefix"* ]] || continue
        while IFS= read -r word; do
            candidates+=("$lead$prefix$word")
        done < <(compgen -f -- "${value#"$prefix"}")
        filenames=1
    done
}

PREFIX_complete() {
    local -a line=() candidates=() words=() file_prefixes=()
    local i w joined=0 filenames=0
    # bash splits words at the characters of COMP_WORDBREAKS, '=' and ':' among them; join
    # "--option=kind:PATH" back into the one word the program will see.
    for ((i = 0; i <= COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if ((i > 0)) && [[ -n $w && -z ${w//[=:]/} ]]; then
            line[-1]+=$w
            joined=1
        elif ((joined)); then
            line[-1]+=$w
            joined=0
        else
            line+=("$w")
        fi
    done

    local cur=${line[-1]} path='' expecting='' positional=0
    for ((i = 1; i < ${#line[@]} - 1; i++)); do
        w=${line[i]}
        if [[ -n $expecting ]]; then
            expecting=''
            continue
        fi
        case $w in
        -*=*) ;;
        -*) PREFIX_takes_value "$path" "$w" && expecting=$w ;;
        *)
            if ((positional == 0)) && [[ " $(PREFIX_subcommands "$path") " == *" $w "* ]]; then
                path=${path:+$path }$w
            else
                positional=$((positional + 1))
            fi
            ;;
        esac
    done

    if [[ -n $expecting ]]; then
        PREFIX_values "$path" "$expecting"
        PREFIX_add_values '' "$cur"
    elif [[ $cur == -*=* ]]; then
        PREFIX_values "$path" "${cur%%=*}"
        PREFIX_add_values "${cur%%=*}=" "${cur#*=}"
    elif [[ $cur == -* ]]; then
        mapfile -t candidates < <(compgen -W "$(PREFIX_options "$path")" -- "$cur")
    else
        if ((positional == 0)); then
            mapfile -t candidates < <(compgen -W "$(PREFIX_subcommands "$path")" -- "$cur")
        fi
        PREFIX_values "$path" "$((positional + 1))"
        PREFIX_add_values '' "$cur"
    fi

    # bash replaces only the text after the last word break; drop what lies before it from
    # each candidate. A word of break characters alone ("=") is not replaced at all.
    local typed=${COMP_WORDS[COMP_CWORD]}
    [[ -z ${typed//[=:]/} ]] && typed=''
    local keep=${cur%"$typed"}
    COMPREPLY=()
    for w in "${candidates[@]}"; do
        COMPREPLY+=("${w#"$keep"}")
    done
    if ((filenames)); then
        compopt -o filenames 2> /dev/null
    fi
    if ((${#COMPREPLY[@]} == 1)) && [[ ${COMPREPLY[0]} == *[=:] ]]; then
        compopt -o nospace 2> /dev/null
    fi
    return 0
}
)BASH";

std::string FunctionPrefix(const std::string& programName) {
    std::string prefix = "_";
    for (const char c : programName) {
        prefix += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return prefix + "_";
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string QuotedList(const std::vector<std::string>& words) {
    std::vector<std::string> quoted;
    for (const std::string& word : words) {
        quoted.push_back(ShellQuote(word));
    }
    return Join(quoted, " ");
}

struct Tables {
    std::string subcommands;
    std::string options;
    std::string takesValue;
    std::string values;
};

void AddValues(Tables& tables, const std::string& key, const ValueChoices& choices) {
    if (choices.empty()) {
        return;
    }
    tables.values += "    " + ShellQuote(key) + ")";
    if (!choices.words.empty()) {
        tables.values += " words=(" + QuotedList(choices.words) + ")";
    }
    if (!choices.filePrefixes.empty()) {
        tables.values += " file_prefixes=(" + QuotedList(choices.filePrefixes) + ")";
    }
    tables.values += " ;;\n";
}

void Collect(const Command& command, Tables& tables) {
    const std::string path = command.PathText();
    if (!command.subcommands.empty()) {
        std::vector<std::string> names;
        for (const Command& sub : command.subcommands) {
            names.push_back(sub.path.back());
        }
        tables.subcommands += "    " + ShellQuote(path) + ") echo " + QuotedList(names) + " ;;\n";
    }
    std::vector<std::string> options;
    std::vector<std::string> valueOptions;
    for (const HelpEntry& option : command.help.options) {
        options.insert(options.end(), option.names.begin(), option.names.end());
        if (!option.valueType.empty()) {
            for (const std::string& name : option.names) {
                valueOptions.push_back(ShellQuote(path + "|" + name));
            }
        }
        const ValueChoices choices = ChoicesFor(option, false);
        for (const std::string& name : option.names) {
            AddValues(tables, path + "|" + name, choices);
        }
    }
    if (!options.empty()) {
        tables.options += "    " + ShellQuote(path) + ") echo " + QuotedList(options) + " ;;\n";
    }
    if (!valueOptions.empty()) {
        tables.takesValue += "    " + Join(valueOptions, " | ") + ") return 0 ;;\n";
    }
    for (std::size_t i = 0; i < command.help.positionals.size(); ++i) {
        AddValues(tables, path + "|" + std::to_string(i + 1),
                  ChoicesFor(command.help.positionals[i], true));
    }
    for (const Command& sub : command.subcommands) {
        Collect(sub, tables);
    }
}

}  // namespace

std::string ShellQuote(const std::string& word) {
    return "'" + ReplaceAll(word, "'", "'\\''") + "'";
}

std::string WriteBashCompletion(const Command& program, const std::string& programName) {
    Tables tables;
    Collect(program, tables);
    const std::string prefix = FunctionPrefix(programName);

    std::string out = "# bash completion for " + programName +
                      ", written at build time from the output of \"" + programName +
                      " --help\"\n# and of --help for each of its commands.\n\n";
    out += "# The subcommands of a command (its words; '' is the program itself).\n";
    out += prefix + "subcommands() {\n    case $1 in\n" + tables.subcommands + "    esac\n}\n\n";
    out += "# The options of a command.\n";
    out += prefix + "options() {\n    case $1 in\n" + tables.options + "    esac\n}\n\n";
    out += "# Whether option $2 of command $1 takes a value.\n";
    out += prefix + "takes_value() {\n    case \"$1|$2\" in\n" + tables.takesValue +
           "    esac\n    return 1\n}\n\n";
    out += "# The values of option $2 of command $1, or of its positional argument number $2.\n";
    out += prefix + "values() {\n    words=() file_prefixes=()\n    case \"$1|$2\" in\n" +
           tables.values + "    esac\n}\n";
    out += ReplaceAll(kCompletionLogic, "PREFIX_", prefix);
    out += "\ncomplete -F " + prefix + "complete " + programName + "\n";
    return out;
}

}  // namespace qv::helpdoc
