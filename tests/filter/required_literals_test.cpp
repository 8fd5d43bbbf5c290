// The literals that every match of an expression needs, as the reader takes them from its text.
#include "filter/match/expression_facts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

std::vector<std::string> shown_sorted(const std::vector<std::string>& literals) {
    std::vector<std::string> out;
    for (const std::string& l : literals) out.push_back(shown(l));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> required_of(std::string_view expression) {
    return read_expression(expression).required.any_of;
}

struct literals_case {
    std::string expression;
    std::vector<std::string> any_of;  // sorted; empty: nothing known
};

TEST(RequiredLiterals, ReadFromTheExpression) {
    const std::vector<literals_case> cases = {
        // Sequences: the longest run of literal characters wins, folded.
        {"error", {"error"}},
        {"ERROR: disk", {"error: disk"}},
        {"\\d+\\.\\d+\\.\\d+\\.\\d+", {"."}},
        {"user=\\w+ id=\\d+", {"user="}},
        {"\\dabc\\d", {"abc"}},
        {"a\\.b\\-c\\/d\\\\e", {"a.b-c/d\\e"}},
        {"\\bok\\b", {"ok"}},
        {"^start|end$", {"end", "start"}},
        {"foo\\Kbar", {"foobar"}},
        {"a(?#note)b", {"ab"}},
        {std::string("a\0b", 3), {"a\\u0000b"}},
        // Quantifiers.
        {"warn(ing)?", {"warn"}},
        {"colou?r", {"colo"}},
        {"ab+c", {"ab"}},
        {"x+", {"x"}},
        {"x*|y", {}},
        {"(abc)*def", {"def"}},
        {"(?:abc){2,}x", {"abcx"}},
        {"(?:abc){0,3}x", {"x"}},
        {"ab{2}c", {"ab"}},
        {"a+?b*+c??d", {"a"}},
        // Alternations: the union, each branch giving its best; a branch with nothing spoils it.
        {"ok|okay|rror", {"ok", "rror"}},
        {"(error|warn)ing", {"error", "warn"}},
        {"(?>abc|abd)", {"abc", "abd"}},
        {"(?|(a)|(b))cd", {"cd"}},
        {"abc|", {}},
        {"abc|.*", {}},
        {"ERROR|Warn", {"error", "warn"}},
        // Groups of every kind.
        {"(?<name>user) logged", {"user logged"}},
        {"(?P<n>sess)ion", {"session"}},
        {"(?'n'sess)ion", {"session"}},
        {"(?i)Kelvin", {"kelvin"}},
        {"(?-i:Error)", {"error"}},
        {"(?i-sm:abc)d", {"abcd"}},
        // Lookarounds: a positive one's text must be in the line too; a negative one's need not.
        {"(?=.*error)", {"error"}},
        {"(?<=user=)\\w+", {"user="}},
        {"(?!error)warn", {"warn"}},
        {"(?<!x)abc", {"abc"}},
        {"(?=abc)?d", {"d"}},
        // Classes and other single characters are not literals; their extent is read exactly.
        {"[abc]def", {"def"}},
        {"[^]]xy", {"]xy"}},
        {"[\\]]ok", {"ok"}},
        {"[\\Q]\\E]ok", {"ok"}},
        {"[[:alpha:]]+ok", {"ok"}},
        {"[[:<:]]ok", {"ok"}},
        {"ok[[:>:]] done", {"ok done"}},
        {"\\x41bc", {"bc"}},
        {"\\u0041bc", {"bc"}},
        {"\\p{Lu}rror", {"rror"}},
        {"\\pLrror", {"rror"}},
        {"\\12345", {}},
        {"(a)\\1bc", {"bc"}},
        {"\\Qa.b\\E", {"a.b"}},
        {"x\\Qa(b", {"xa(b"}},
        // Characters outside ASCII match in ways of their own, some as ASCII letters.
        {"caf\u00e9", {"caf"}},
        {"\u212Aey", {"ey"}},
        {"\u017Fession", {"ession"}},
        {"\U0001F600ok", {"ok"}},
        {"ошибка", {}},
        // What the reader does not understand gives nothing.
        {"a{,3}b", {}},
        {"a{x}bc", {}},
        {"a{2bc", {}},
        {"{2}abc", {}},
        {"abc{2}{3}", {}},
        {"a(?#c)+bc", {}},
        {"(?i)+abc", {}},
        {"\\Qab\\E+cd", {}},
        {"ab\\Ecd", {}},
        {"(*ACCEPT)abc", {}},
        {"abc(*ACCEPT)def", {}},
        {"(*UTF)abc", {}},
        {"a(*SKIP)(*F)|b", {}},
        {"(*pla:abc)abc", {}},
        {"(?(1)abc|abd)", {}},
        {"(a)(?1)bc", {}},
        {"(?R)?abc", {}},
        {"(?&n)abc", {}},
        {"(?P=n)abc", {}},
        {"(?P>n)abc", {}},
        {"(?C1)abc", {}},
        {"(?x) a b c", {}},
        {"\\g1abc", {}},
        {"\\k<n>abc", {}},
        {"\\cAabc", {}},
        {"\\x{41}bc", {}},
        {"\\xzbc", {}},
        {"\\u{41}bc", {}},
        {"\\N{U+41}bc", {}},
        {"\\o{101}bc", {}},
        {"\\Ubc", {}},
        {"[[:alpha]]abc", {}},
        {"[[.a.]]abc", {}},
        {"[abc", {}},
        {"abc)", {}},
        {"(abc", {}},
        {"abc\\", {}},
        {"\\éabc", {}},
    };
    for (const literals_case& c : cases) {
        EXPECT_EQ(shown_sorted(required_of(c.expression)), c.any_of) << shown(c.expression);
    }
}

TEST(RequiredLiterals, TooManyOrTooDeepGivesNothing) {
    std::string many;
    for (int i = 0; i < 80; ++i) {
        if (i > 0) many += '|';
        many += static_cast<char>('a' + i % 26);
        many += static_cast<char>('a' + i / 26);
    }
    EXPECT_TRUE(required_of(many).empty());
    EXPECT_EQ(required_of("(?:" + many.substr(0, 8 * 3 - 1) + ")").size(), 8u);

    const std::string deep = std::string(300, '(') + "abc" + std::string(300, ')');
    EXPECT_TRUE(required_of(deep).empty());
    const std::string shallow = std::string(20, '(') + "abc" + std::string(20, ')');
    EXPECT_EQ(shown_sorted(required_of(shallow)), std::vector<std::string>{"abc"});
}

}  // namespace
}  // namespace huecast
