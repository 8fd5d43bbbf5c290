#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fresh_registry.h"
#include "qel/date_time.h"
#include "qel/error_registry.h"
#include "qel/result.h"

namespace {

using registry_test = fresh_registry;

std::vector<std::uint32_t> registered_codes() {
    std::vector<std::uint32_t> codes;
    const auto* r = qel::Registry();
    for (std::uint32_t i = 0; r != nullptr && i < r->Count(); ++i) codes.push_back(r->At(i)->code);
    return codes;
}

TEST_F(registry_test, SuccessCodeAlwaysHasSeverityZero) {
    const qel::result ok(0, u"ignored", qel::severity_error);
    EXPECT_EQ(ok.Severity(), 0);
    EXPECT_TRUE(qel::Succeeded(ok));
    EXPECT_EQ(ok.Message(), u"The operation completed successfully.");
    EXPECT_EQ(ok.Context(), u"ignored");

    EXPECT_TRUE(qel::Succeeded(qel::result(87, {}, qel::severity_warning)));
    EXPECT_EQ(qel::result(87, {}, qel::severity_warning).Severity(), 2);
    EXPECT_FALSE(qel::Succeeded(qel::result(87, {}, qel::severity_error)));
}

TEST_F(registry_test, TextFormShowsContextMessageAndCodeTwice) {
    const std::uint32_t code = qel::RegisterErrorText(u"m");
    EXPECT_EQ(qel::result(code, u"x", 3).ToText(), u"x m [536870913(20000001)]");
    EXPECT_EQ(qel::result(87, u"x", 3).ToText(), u"x The parameter is incorrect. [87(00000057)]");
    EXPECT_EQ(qel::result(0xFFFFFFFFu & ~qel::library_code_bit, u"", 3).ToText(), u"  [3758096383(DFFFFFFF)]");
}

TEST_F(registry_test, TextFormKeepsPlaceholdersInsideTheTexts) {
    const std::uint32_t code = qel::RegisterErrorText(u"m %c %cd");
    EXPECT_EQ(qel::result(code, u"50%d %ch", 3).ToText(), u"50%d %ch m %c %cd [536870913(20000001)]");
}

TEST_F(registry_test, SystemCodesAreRefusedWithoutMakingTheRegistry) {
    EXPECT_FALSE(qel::RegisterError(5, u"text"));
    EXPECT_FALSE(qel::RegisterError(0, u"text"));
    EXPECT_EQ(qel::Registry(), nullptr);
    EXPECT_EQ(qel::MessageText(0x20000101), u"");
    EXPECT_EQ(qel::MessageText(5), u"Access is denied.");
}

TEST_F(registry_test, SecondRegistrationOfACodeIsRefusedAndTheFirstTextStays) {
    EXPECT_TRUE(qel::RegisterError(0x20000500, u"first"));
    EXPECT_FALSE(qel::RegisterError(0x20000500, u"second"));
    EXPECT_EQ(qel::MessageText(0x20000500), u"first");
    EXPECT_EQ(qel::Registry()->Count(), 1u);
}

TEST_F(registry_test, TextsGetTheCodeAfterTheHighest) {
    EXPECT_EQ(qel::RegisterErrorText(u"a"), 0x20000001u);
    EXPECT_EQ(qel::RegisterErrorText(u"b"), 0x20000002u);
    EXPECT_EQ(qel::RegisterErrorText(u"a"), 0x20000001u);
    EXPECT_TRUE(qel::RegisterError(0x20000300, u"c"));
    EXPECT_EQ(qel::RegisterErrorText(u"A"), 0x20000301u);  // no case folding
    EXPECT_EQ(qel::MessageText(0x20000301), u"A");
}

TEST_F(registry_test, DateTimeRowsComeFirstAndTheNextTextFollowsThem) {
    qel::RegisterDateTimeErrors();
    qel::RegisterDateTimeErrors();
    EXPECT_EQ(registered_codes(), (std::vector<std::uint32_t>{0x20000101, 0x20000102, 0x20000103, 0x20000104, 0x20000105,
                                                              0x20000106, 0x20000107, 0x20000108, 0x20000109}));
    EXPECT_EQ(qel::MessageText(0x20000101), u"Ошибка в формате (не найден символ, разделяющий компоненты даты).");
    EXPECT_EQ(qel::MessageText(0x20000102), u"Ошибка в формате (не найден символ, разделяющий компоненты времени).");
    EXPECT_EQ(qel::MessageText(0x20000103), u"Ошибка в номере года.");
    EXPECT_EQ(qel::MessageText(0x20000104), u"Ошибка в числе месяцев.");
    EXPECT_EQ(qel::MessageText(0x20000105), u"Ошибка в числе дней.");
    EXPECT_EQ(qel::MessageText(0x20000106), u"Ошибка в числе часов.");
    EXPECT_EQ(qel::MessageText(0x20000107), u"Ошибка в числе минут.");
    EXPECT_EQ(qel::MessageText(0x20000108), u"Ошибка в числе секунд.");
    EXPECT_EQ(qel::MessageText(0x20000109), u"Ошибка в числе миллисекунд.");
    EXPECT_EQ(qel::MessageText(0x20000100), u"");
    EXPECT_EQ(qel::MessageText(0x2000010A), u"");

    EXPECT_EQ(qel::RegisterErrorText(u"new"), 0x2000010Au);
    EXPECT_EQ(qel::RegisterErrorText(u"new"), 0x2000010Au);
    EXPECT_EQ(qel::RegisterErrorText(u"Ошибка в числе дней."), 0x20000105u);
}

TEST_F(registry_test, RefusedDateTimeRowIsAFailedCheckNamingTheRow) {
    const char16_t* names[] = {u"dtrInvalidDateFormat,txtInvldDtFrmt", u"dtrInvalidTimeFormat,txtInvldTmFrmt",
                               u"dtrWrongYear,txtWrongYear",           u"dtrWrongMonth,txtWrongMonth",
                               u"dtrWrongDay,txtWrongDay",             u"dtrWrongHour,txtWrongHour",
                               u"dtrWrongMinute,txtWrongMinute",       u"dtrWrongSec,txtWrongSecond",
                               u"dtrWrongMSec,txtWrongMSec"};
    for (std::uint32_t row = 0; row < 9; ++row) {
        qel::detail::ResetRegistryForTests();
        ASSERT_TRUE(qel::RegisterError(0x20000101 + row, u"taken"));
        std::u16string text;
        try {
            qel::RegisterDateTimeErrors();
        } catch (const qel::wexception& e) {
            text = e.Text();
        }
        const std::string line = std::to_string(26 + row);
        EXPECT_EQ(text, u"!::RegisterError(" + std::u16string(names[row]) + u") at ..\\Src\\gen\\BTmErr line " +
                            std::u16string(line.begin(), line.end()));
        EXPECT_EQ(qel::MessageText(0x20000101 + row), u"taken");
        // The rows before it are in, the rows after it are not.
        EXPECT_EQ(qel::Registry()->Count(), row + 1);
    }
}

TEST_F(registry_test, SystemTextsNeverEndInALineBreak) {
    for (std::uint32_t code : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 14u, 87u}) {
        const std::u16string text = qel::MessageText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), u'\n');
        EXPECT_NE(text.back(), u'\r');
    }
    EXPECT_EQ(qel::MessageText(6), u"The handle is invalid.");
    EXPECT_EQ(qel::MessageText(4), u"");
    EXPECT_EQ(qel::MessageText(99999), u"");
}

TEST_F(registry_test, RegistryGrowsBy64AndStaysSortedWhateverTheOrder) {
    std::vector<std::uint32_t> codes;
    for (std::uint32_t i = 0; i < 200; ++i) codes.push_back(0x20001000 + 3 * i);
    std::vector<std::vector<std::uint32_t>> orders{codes, {codes.rbegin(), codes.rend()}};
    std::mt19937 random(7);
    for (int i = 0; i < 5; ++i) {
        orders.push_back(codes);
        std::shuffle(orders.back().begin(), orders.back().end(), random);
    }
    for (const auto& order : orders) {
        qel::detail::ResetRegistryForTests();
        for (std::size_t i = 0; i < order.size(); ++i) {
            ASSERT_TRUE(qel::RegisterError(order[i], u"t"));
            if (i == 0 || i == 63) {
                EXPECT_EQ(qel::Registry()->Capacity(), 64u);
            } else if (i == 64) {
                EXPECT_EQ(qel::Registry()->Capacity(), 128u);
            }
        }
        EXPECT_EQ(registered_codes(), codes);
        for (std::uint32_t code : order) EXPECT_EQ(qel::MessageText(code), u"t");
        EXPECT_EQ(qel::MessageText(codes.back() + 1), u"");
        EXPECT_EQ(qel::MessageText(codes.front() + 1), u"");
        EXPECT_EQ(qel::RegisterErrorText(u"next"), codes.back() + 1);
    }
}

}  // namespace
