// The literals that every match of an expression needs, as the reader takes them from its text.
#include "filter/expression_facts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "random_filters.h"

namespace huecast {
namespace {

using testing::shown;

std::vector<std::string> shown_sorted(const std::vector<std::u16string>& literals) {
    std::vector<std::string> out;
    for (const std::u16string& l : literals) out.push_back(shown(l));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::u16string> required_of(std::u16string_view expression) {
    return read_expression(expression).required.any_of;
}

struct literals_case {
    std::u16string expression;
    std::vector<std::string> any_of;  // sorted; empty: nothing known
};

TEST(RequiredLiterals, ReadFromTheExpression) {
    const std::vector<literals_case> cases = {
        // Sequences: the longest run of literal characters wins, folded.
        {u"error", {"error"}},
        {u"ERROR: disk", {"error: disk"}},
        {u"\\d+\\.\\d+\\.\\d+\\.\\d+", {"."}},
        {u"user=\\w+ id=\\d+", {"user="}},
        {u"\\dabc\\d", {"abc"}},
        {u"a\\.b\\-c\\/d\\\\e", {"a.b-c/d\\e"}},
        {u"\\bok\\b", {"ok"}},
        {u"^start|end$", {"end", "start"}},
        {u"foo\\Kbar", {"foobar"}},
        {u"a(?#note)b", {"ab"}},
        {std::u16string(u"a\0b", 3), {"a\\u0000b"}},
        // Quantifiers.
        {u"warn(ing)?", {"warn"}},
        {u"colou?r", {"colo"}},
        {u"ab+c", {"ab"}},
        {u"x+", {"x"}},
        {u"x*|y", {}},
        {u"(abc)*def", {"def"}},
        {u"(?:abc){2,}x", {"abcx"}},
        {u"(?:abc){0,3}x", {"x"}},
        {u"ab{2}c", {"ab"}},
        {u"a+?b*+c??d", {"a"}},
        // Alternations: the union, each branch giving its best; a branch with nothing spoils it.
        {u"ok|okay|rror", {"ok", "rror"}},
        {u"(error|warn)ing", {"error", "warn"}},
        {u"(?>abc|abd)", {"abc", "abd"}},
        {u"(?|(a)|(b))cd", {"cd"}},
        {u"abc|", {}},
        {u"abc|.*", {}},
        {u"ERROR|Warn", {"error", "warn"}},
        // Groups of every kind.
        {u"(?<name>user) logged", {"user logged"}},
        {u"(?P<n>sess)ion", {"session"}},
        {u"(?'n'sess)ion", {"session"}},
        {u"(?i)Kelvin", {"kelvin"}},
        {u"(?-i:Error)", {"error"}},
        {u"(?i-sm:abc)d", {"abcd"}},
        // Lookarounds: a positive one's text must be in the line too; a negative one's need not.
        {u"(?=.*error)", {"error"}},
        {u"(?<=user=)\\w+", {"user="}},
        {u"(?!error)warn", {"warn"}},
        {u"(?<!x)abc", {"abc"}},
        {u"(?=abc)?d", {"d"}},
        // Classes and other single characters are not literals; their extent is read exactly.
        {u"[abc]def", {"def"}},
        {u"[^]]xy", {"]xy"}},
        {u"[\\]]ok", {"ok"}},
        {u"[\\Q]\\E]ok", {"ok"}},
        {u"[[:alpha:]]+ok", {"ok"}},
        {u"[[:<:]]ok", {"ok"}},
        {u"\\x41bc", {"bc"}},
        {u"\\u0041bc", {"bc"}},
        {u"\\p{Lu}rror", {"rror"}},
        {u"\\pLrror", {"rror"}},
        {u"\\12345", {}},
        {u"(a)\\1bc", {"bc"}},
        {u"\\Qa.b\\E", {"a.b"}},
        {u"x\\Qa(b", {"xa(b"}},
        // Characters outside ASCII match in ways of their own, some as ASCII letters.
        {u"caf\u00e9", {"caf"}},
        {u"\u212Aey", {"ey"}},
        {u"\u017Fession", {"ession"}},
        {u"\U0001F600ok", {"ok"}},
        {u"ошибка", {}},
        // What the reader does not understand gives nothing.
        {u"a{,3}b", {}},
        {u"a{x}bc", {}},
        {u"a{2bc", {}},
        {u"{2}abc", {}},
        {u"abc{2}{3}", {}},
        {u"a(?#c)+bc", {}},
        {u"(?i)+abc", {}},
        {u"\\Qab\\E+cd", {}},
        {u"ab\\Ecd", {}},
        {u"(*ACCEPT)abc", {}},
        {u"abc(*ACCEPT)def", {}},
        {u"(*UTF)abc", {}},
        {u"a(*SKIP)(*F)|b", {}},
        {u"(*pla:abc)abc", {}},
        {u"(?(1)abc|abd)", {}},
        {u"(a)(?1)bc", {}},
        {u"(?R)?abc", {}},
        {u"(?&n)abc", {}},
        {u"(?P=n)abc", {}},
        {u"(?P>n)abc", {}},
        {u"(?C1)abc", {}},
        {u"(?x) a b c", {}},
        {u"\\g1abc", {}},
        {u"\\k<n>abc", {}},
        {u"\\cAabc", {}},
        {u"\\x{41}bc", {}},
        {u"\\xzbc", {}},
        {u"\\u{41}bc", {}},
        {u"\\N{U+41}bc", {}},
        {u"\\o{101}bc", {}},
        {u"\\Ubc", {}},
        {u"[[:alpha]]abc", {}},
        {u"[[.a.]]abc", {}},
        {u"[abc", {}},
        {u"abc)", {}},
        {u"(abc", {}},
        {u"abc\\", {}},
        {u"\\éabc", {}},
    };
    for (const literals_case& c : cases) {
        EXPECT_EQ(shown_sorted(required_of(c.expression)), c.any_of) << shown(c.expression);
    }
}

TEST(RequiredLiterals, TooManyOrTooDeepGivesNothing) {
    std::u16string many;
    for (int i = 0; i < 80; ++i) {
        if (i > 0) many += u'|';
        many += static_cast<char16_t>(u'a' + i % 26);
        many += static_cast<char16_t>(u'a' + i / 26);
    }
    EXPECT_TRUE(required_of(many).empty());
    EXPECT_EQ(required_of(u"(?:" + many.substr(0, 8 * 3 - 1) + u")").size(), 8u);

    const std::u16string deep = std::u16string(300, u'(') + u"abc" + std::u16string(300, u')');
    EXPECT_TRUE(required_of(deep).empty());
    const std::u16string shallow = std::u16string(20, u'(') + u"abc" + std::u16string(20, u')');
    EXPECT_EQ(shown_sorted(required_of(shallow)), std::vector<std::string>{"abc"});
}

}  // namespace
}  // namespace huecast
