// The manual page and the shell completions, read from the source tree, against the option
// table: every option and alias is there with its value and its words, and nothing else is.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "options/option_table.h"

namespace {

using huecast::option_definition;

std::string narrow(std::string_view text) { return std::string(text.begin(), text.end()); }

std::string source_file(const std::string& path) {
    std::ifstream in(std::string(HUECAST_SOURCE_DIR "/").append(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> sorted_words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    std::ranges::sort(words);
    return words;
}

std::vector<std::string> names_of(const option_definition& option) {
    std::vector<std::string> names{narrow(option.name)};
    for (const std::string_view alias : option.aliases) names.push_back(narrow(alias));
    return names;
}

// What a completion offers for one name: whether a value follows it, the words completed
// there, and whether file names are.
struct offer {
    bool value = false;
    std::vector<std::string> words;
    bool files = false;
    bool sets = false;      // the names of the filter sets
    bool commands = false;  // a command and its arguments, after it
    friend bool operator==(const offer&, const offer&) = default;
    friend std::ostream& operator<<(std::ostream& os, const offer& o) {
        return os << (o.value ? "value" : "switch") << (o.files ? ", files" : "") << (o.sets ? ", sets" : "")
                  << (o.commands ? ", commands" : "") << ", " << o.words.size() << " words";
    }
};
using offers = std::map<std::string, offer>;

offers table_offers() {
    offers expected{{narrow(huecast::end_of_options().name), {}}};
    for (const option_definition& option : huecast::option_table()) {
        const bool value = option.takes == huecast::option_value::attached ||
                           option.takes == huecast::option_value::attached_or_next;
        offer o{value, {}, option.completes == huecast::completion::files,
                option.completes == huecast::completion::sets, option.completes == huecast::completion::commands};
        if (option.completes == huecast::completion::words) {
            for (const std::string_view word : option.words) o.words.push_back(narrow(word));
            std::ranges::sort(o.words);
        }
        for (const std::string& name : names_of(option)) expected[name] = o;
    }
    return expected;
}

offers bash_offers(const std::string& script) {
    offers found;
    std::smatch m;
    if (std::regex_search(script, m, std::regex(R"(compgen -W '([^']*--[^']*)')"))) {
        for (std::string name : sorted_words(m[1])) {
            const bool value = name.ends_with('=');
            if (value) name.pop_back();
            found[name].value = value;
        }
    }
    // What follows "--name=": a case arm for each option that takes a value.
    const std::regex arm(R"(\n\s*(--[\w-]+(?:\s*\|\s*--[\w-]+)*)\)([\s\S]*?);;)");
    for (std::sregex_iterator it(script.begin(), script.end(), arm), end; it != end; ++it) {
        const std::string body = (*it)[2];
        std::string names = (*it)[1];
        std::ranges::replace(names, '|', ' ');
        for (const std::string& name : sorted_words(names)) {
            if (std::regex_search(body, m, std::regex(R"(compgen -W '([^']*)')"))) found[name].words = sorted_words(m[1]);
            found[name].files = body.find("_filedir") != std::string::npos;
            found[name].sets = body.find("--list-sets") != std::string::npos;
            found[name].commands = body.find("_command_offset") != std::string::npos;
        }
    }
    return found;
}

offers zsh_offers(const std::string& script) {
    offers found;
    // '(--colour)--color=-[when to colour]:when:(auto always never)'
    const std::regex form(R"('(?:\([^)]*\))?\*?(--[\w-]+)(=-?)?(?:\[[^\]]*\])?(?::[^:']*:([^']*))?')");
    for (std::sregex_iterator it(script.begin(), script.end(), form), end; it != end; ++it) {
        const std::string action = (*it)[3];
        offer& o = found[(*it)[1]];
        o.value = (*it)[2].matched;
        if (action.starts_with('(')) o.words = sorted_words(action.substr(1, action.size() - 2));
        o.files = action == "_files";
        o.sets = action == "_huecast_sets";
        o.commands = action.starts_with("_command_names");
    }
    if (script.find("_arguments -S") != std::string::npos) found["--"];  // -S: "--" ends the options
    return found;
}

offers fish_offers(const std::string& script) {
    offers found;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (!line.starts_with("complete -c huecast ")) continue;
        if (line.find(R"(-a "'--'")") != std::string::npos) found["--"];
        // What follows an option that takes a command: '__huecast_after --run'.
        if (std::regex_search(line, m, std::regex(R"('__huecast_after (--[\w-]+)')"))) found[m[1]].commands = true;
        if (!std::regex_search(line, m, std::regex(R"( -l ([\w-]+))"))) continue;
        offer& o = found[std::string("--").append(m[1].str())];
        o.value = line.find(" -x") != std::string::npos || line.find(" -r") != std::string::npos;
        o.files = line.find(" -F") != std::string::npos;
        o.sets = line.find("(__huecast_sets)") != std::string::npos;
        if (!o.sets && std::regex_search(line, m, std::regex(R"( -a '([^']*)')"))) o.words = sorted_words(m[1]);
    }
    return found;
}

TEST(DocumentedOptions, EachShellCompletesTheTableAndNothingElse) {
    const struct {
        const char* file;
        offers (*read)(const std::string&);
    } shells[] = {
        {"completions/huecast.bash", bash_offers},
        {"completions/_huecast", zsh_offers},
        {"completions/huecast.fish", fish_offers},
    };
    for (const auto& shell : shells) EXPECT_EQ(shell.read(source_file(shell.file)), table_offers()) << shell.file;
}

TEST(DocumentedOptions, TheManualPageDescribesTheTableAndNothingElse) {
    const std::string page = source_file("docs/huecast.1.scd");
    const std::size_t start = page.find("\n# OPTIONS\n");
    ASSERT_NE(start, std::string::npos);
    const std::string section = page.substr(start, page.find("\n# ", start + 1) - start);

    // Each name in a heading ("*--color*=_WHEN_, *--colour*=_WHEN_"): its value's name, and
    // the paragraph under the heading.
    std::map<std::string, std::pair<std::string, std::string>> described;
    const std::regex entry(R"(\n(\*--[^\n]*)((?:\n\t[^\n]*)*))");
    const std::regex heading_name(R"(\*(--[\w-]+)\*(?:[= ]_(\w+)_)?)");
    for (std::sregex_iterator it(section.begin(), section.end(), entry), end; it != end; ++it) {
        const std::string heading = (*it)[1];
        for (std::sregex_iterator n(heading.begin(), heading.end(), heading_name); n != end; ++n) {
            auto& [value_name, paragraph] = described[(*n)[1]];
            if (value_name.empty()) value_name = (*n)[2];  // "*--file*=_FILE_, *--file* _FILE_"
            paragraph = (*it)[2];
        }
    }
    std::size_t names = 0;
    for (const option_definition& option : huecast::option_table()) {
        for (const std::string& name : names_of(option)) {
            ++names;
            const auto it = described.find(name);
            ASSERT_NE(it, described.end()) << name << " has no heading under OPTIONS";
            EXPECT_EQ(it->second.first, narrow(option.value_name)) << name;
            for (const std::string_view word : option.words) {
                const std::string starred = std::string(1, '*').append(narrow(word)).append(1, '*');
                EXPECT_NE(it->second.second.find(starred), std::string::npos) << name << " " << starred;
            }
        }
    }
    EXPECT_EQ(described.size(), names) << "a heading under OPTIONS names an option that the table lacks";

    // Anywhere in the page, "*--name*" or "*--name=word*" names an option and one of its words.
    const offers options = table_offers();
    const std::regex mention(R"(\*(--[\w-]*)(?:=(\w+))?\*)");
    for (std::sregex_iterator it(page.begin(), page.end(), mention), end; it != end; ++it) {
        const auto option = options.find((*it)[1]);
        ASSERT_NE(option, options.end()) << "the page mentions " << (*it)[1];
        EXPECT_TRUE(!(*it)[2].matched || std::ranges::binary_search(option->second.words, (*it)[2].str())) << (*it)[0];
    }
}

}  // namespace
