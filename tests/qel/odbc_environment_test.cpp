#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fresh_registry.h"
#include "qel/date_time.h"
#include "qel/error_registry.h"
#include "qel/odbc_environment.h"
#include "qel/startup_objects.h"

namespace {

// What the scripted driver manager answers, and what it was asked.
struct script {
    SQLRETURN alloc = SQL_SUCCESS;
    SQLRETURN free = SQL_SUCCESS;
    std::u16string state;
    std::u16string text;
    std::vector<std::string> calls;
    SQLINTEGER version_attribute = 0;
    SQLPOINTER version = nullptr;
};

script* current = nullptr;
int fake_env = 0;

SQLRETURN fake_alloc(SQLHENV* env) {
    current->calls.push_back("AllocEnv");
    *env = current->alloc == SQL_ERROR ? SQL_NULL_HENV : &fake_env;
    return current->alloc;
}
SQLRETURN fake_set(SQLHENV, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER) {
    current->calls.push_back("SetEnvAttr");
    current->version_attribute = attribute;
    current->version = value;
    return SQL_SUCCESS;
}
SQLRETURN fake_free(SQLHENV) {
    current->calls.push_back("FreeEnv");
    return current->free;
}
SQLRETURN fake_error(SQLHENV, SQLHDBC, SQLHSTMT, SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* text,
                     SQLSMALLINT capacity, SQLSMALLINT* length) {
    current->calls.push_back("ErrorW");
    for (std::size_t i = 0; i < current->state.size() && i < 5; ++i) state[i] = current->state[i];
    std::size_t n = 0;
    for (; n < current->text.size() && n + 1 < static_cast<std::size_t>(capacity); ++n) text[n] = current->text[n];
    *native = 42;
    *length = static_cast<SQLSMALLINT>(n);
    return current->state.empty() ? SQL_NO_DATA : SQL_SUCCESS;
}

class odbc_environment_test : public fresh_registry {
protected:
    void SetUp() override {
        fresh_registry::SetUp();
        current = &answers;
        previous = qel::odbc::UseDriverManager({fake_alloc, fake_set, fake_free, fake_error});
    }
    void TearDown() override {
        qel::odbc::UseDriverManager(previous);
        current = nullptr;
        fresh_registry::TearDown();
    }

    script answers;
    qel::odbc::driver_manager previous{};
};

qel::result diagnostic() { return qel::odbc::environment::DiagnosticResult(&fake_env, nullptr, nullptr); }

TEST_F(odbc_environment_test, DiagnosticsBecomeResults) {
    const qel::odbc::environment env;
    const std::uint32_t db_error = qel::odbc::environment::DbErrorCode();
    ASSERT_NE(db_error, 0u);
    EXPECT_EQ(qel::MessageText(db_error), u"Ошибка при обращении к базе данных");
    EXPECT_EQ(qel::MessageText(qel::odbc::environment::NoDataCode()), u"Нет данных");

    answers.state = u"00000";
    EXPECT_EQ(diagnostic().Code(), 0u);
    EXPECT_EQ(diagnostic().Severity(), 0);

    answers.state = u"01004";
    answers.text = u"String data, right truncated";
    qel::result r = diagnostic();
    EXPECT_EQ(r.Code(), db_error);
    EXPECT_EQ(r.Severity(), 2);
    EXPECT_TRUE(qel::Succeeded(r));
    EXPECT_EQ(r.Context(), u"[01004] String data, right truncated");
    EXPECT_EQ(r.ToText(), u"[01004] String data, right truncated Ошибка при обращении к базе данных [536870913(20000001)]");

    answers.state = u"HY001";
    answers.text = u"Memory allocation error";
    r = diagnostic();
    EXPECT_EQ(r.Code(), db_error);
    EXPECT_EQ(r.Severity(), 3);
    EXPECT_EQ(r.Context(), u"[HY001] Memory allocation error");

    answers.state = u"";
    answers.text = u"";
    r = diagnostic();
    EXPECT_EQ(r.Code(), db_error);
    EXPECT_EQ(r.Severity(), 3);
    EXPECT_EQ(r.Context(), u"");

    // A message that fills the whole buffer is cut, not read past.
    answers.state = u"HY000";
    answers.text = std::u16string(600, u'x');
    EXPECT_EQ(diagnostic().Context(), u"[HY000] " + std::u16string(511, u'x'));
}

TEST_F(odbc_environment_test, OneHandleForAllObjectsAllocatedByTheFirstAndFreedByTheLast) {
    EXPECT_EQ(qel::odbc::environment::Users(), 0);
    {
        const qel::odbc::environment first;
        EXPECT_NE(qel::odbc::environment::Handle(), nullptr);
        EXPECT_EQ(answers.version_attribute, SQL_ATTR_ODBC_VERSION);
        EXPECT_EQ(answers.version, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3));
        {
            const qel::odbc::environment second;
            EXPECT_EQ(qel::odbc::environment::Users(), 2);
        }
        EXPECT_NE(qel::odbc::environment::Handle(), nullptr);
        EXPECT_EQ(answers.calls, (std::vector<std::string>{"AllocEnv", "SetEnvAttr"}));
    }
    EXPECT_EQ(qel::odbc::environment::Users(), 0);
    EXPECT_EQ(qel::odbc::environment::Handle(), nullptr);
    EXPECT_EQ(answers.calls, (std::vector<std::string>{"AllocEnv", "SetEnvAttr", "FreeEnv"}));
    // The texts are registered once per process.
    const std::uint32_t before = qel::odbc::environment::DbErrorCode();
    { const qel::odbc::environment again; }
    EXPECT_EQ(qel::odbc::environment::DbErrorCode(), before);
    EXPECT_EQ(qel::Registry()->Count(), 2u);
}

TEST_F(odbc_environment_test, FailuresAreDiagnosedAndOtherwiseIgnored) {
    answers.alloc = SQL_ERROR;
    {
        const qel::odbc::environment env;
        EXPECT_EQ(qel::odbc::environment::Handle(), nullptr);
        EXPECT_EQ(qel::odbc::environment::Users(), 1);
    }
    // With no handle, release yields code 6 without asking the driver manager.
    EXPECT_EQ(answers.calls, (std::vector<std::string>{"AllocEnv", "ErrorW"}));
    const qel::result r = qel::odbc::environment::Release();
    EXPECT_EQ(r.Code(), 6u);
    EXPECT_EQ(r.Severity(), 3);
    EXPECT_EQ(r.Message(), u"The handle is invalid.");

    answers = script{};
    answers.free = SQL_ERROR;
    answers.state = u"HY010";
    answers.text = u"Function sequence error";
    EXPECT_EQ(qel::odbc::environment::Allocate().Code(), 0u);
    const qel::result refused = qel::odbc::environment::Release();
    EXPECT_EQ(refused.Context(), u"[HY010] Function sequence error");
    EXPECT_NE(qel::odbc::environment::Handle(), nullptr);  // kept for another try
    answers.free = SQL_SUCCESS_WITH_INFO;
    EXPECT_EQ(qel::odbc::environment::Release().Code(), 0u);
    EXPECT_EQ(qel::odbc::environment::Handle(), nullptr);
}

TEST_F(odbc_environment_test, StartUpObjectsRegisterTheDatabaseTextsAfterTheDateAndTimeErrors) {
    {
        const qel::startup_objects objects;
        EXPECT_EQ(objects.EmptyTime.Value(), -1.0);
        EXPECT_EQ(objects.ZeroTime.Value(), 0.0);
        EXPECT_EQ(qel::odbc::environment::DbErrorCode(), 0x2000010Au);
        EXPECT_EQ(qel::odbc::environment::NoDataCode(), 0x2000010Bu);
        EXPECT_EQ(qel::MessageText(0x20000103), u"Ошибка в номере года.");
        EXPECT_NE(qel::YearTable(), nullptr);
        EXPECT_EQ(answers.calls, (std::vector<std::string>{"AllocEnv", "SetEnvAttr"}));
    }
    EXPECT_EQ(answers.calls, (std::vector<std::string>{"AllocEnv", "SetEnvAttr", "FreeEnv"}));
    EXPECT_EQ(qel::odbc::environment::Handle(), nullptr);
}

// The real driver manager, as a run of the program meets it.
TEST_F(odbc_environment_test, RealDriverManagerAllocatesAndFrees) {
    qel::odbc::UseDriverManager(qel::odbc::SystemDriverManager());
    {
        const qel::odbc::environment env;
        EXPECT_NE(qel::odbc::environment::Handle(), nullptr);
    }
    EXPECT_EQ(qel::odbc::environment::Handle(), nullptr);
    EXPECT_TRUE(answers.calls.empty());
}

}  // namespace
