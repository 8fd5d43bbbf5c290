#include "qel/odbc_environment.h"

#include <string>

#include "internal.h"
#include "qel/error_registry.h"

namespace qel::odbc {
namespace {

SQLRETURN real_alloc_env(SQLHENV* env) { return SQLAllocEnv(env); }
SQLRETURN real_set_env_attr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length) {
    return SQLSetEnvAttr(env, attribute, value, length);
}
SQLRETURN real_free_env(SQLHENV env) { return SQLFreeEnv(env); }
SQLRETURN real_error_w(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLWCHAR* state, SQLINTEGER* native,
                       SQLWCHAR* text, SQLSMALLINT text_capacity, SQLSMALLINT* text_length) {
    return SQLErrorW(env, dbc, stmt, state, native, text, text_capacity, text_length);
}

constexpr driver_manager system_driver_manager{real_alloc_env, real_set_env_attr, real_free_env, real_error_w};
// Constant-initialised, so it is in place before any dynamic initialisation can reach it.
constinit driver_manager dm = system_driver_manager;

// Shared by every environment object in the process.
SQLHENV handle = SQL_NULL_HENV;
std::int32_t users = 0;
std::uint32_t db_error_code = 0;
std::uint32_t no_data_code = 0;
bool texts_registered = false;

bool succeeded(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

constexpr SQLSMALLINT text_capacity = 512;

// The driver manager's wide characters are 16-bit units on every platform it runs on here,
// but not necessarily `char16_t`; read up to the first NUL within the buffer.
template <std::size_t N>
std::u16string from_sql_text(const SQLWCHAR (&buffer)[N]) {
    std::u16string text;
    for (std::size_t i = 0; i < N && buffer[i] != 0; ++i) text.push_back(static_cast<char16_t>(buffer[i]));
    return text;
}

}  // namespace

driver_manager SystemDriverManager() noexcept {
    return system_driver_manager;
}

driver_manager UseDriverManager(const driver_manager& replacement) noexcept {
    const driver_manager previous = dm;
    dm = replacement;
    return previous;
}

environment::environment() {
    if (!texts_registered) {
        db_error_code = RegisterErrorText(u"Ошибка при обращении к базе данных");
        no_data_code = RegisterErrorText(u"Нет данных");
        texts_registered = true;
    }
    if (users++ == 0) Allocate();
}

environment::~environment() {
    if (--users != 0) return;
    // Nothing depends on the handle, and a destructor must not throw: whatever releasing
    // it comes to, including running out of memory for the diagnostic, is dropped.
    try {
        Release();
    } catch (...) {
    }
}

result environment::Allocate() {
    if (succeeded(dm.AllocEnv(&handle))) {
        dm.SetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return result(code_success, {}, severity_error);
    }
    return DiagnosticResult(handle, SQL_NULL_HDBC, SQL_NULL_HSTMT);
}

result environment::Release() {
    if (handle == SQL_NULL_HENV) return result(code_invalid_handle, {}, severity_error);
    if (succeeded(dm.FreeEnv(handle))) {
        handle = SQL_NULL_HENV;
        return result(code_success, {}, severity_error);
    }
    return DiagnosticResult(handle, SQL_NULL_HDBC, SQL_NULL_HSTMT);
}

result environment::DiagnosticResult(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt) {
    SQLWCHAR state[6] = {};
    SQLWCHAR text[text_capacity] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    dm.ErrorW(env, dbc, stmt, state, &native, text, text_capacity, &length);
    // A driver that fills the buffers to the brim leaves no terminator of its own.
    state[5] = 0;
    text[text_capacity - 1] = 0;

    const std::u16string sqlstate = from_sql_text(state);
    if (sqlstate == u"00000") return result(code_success, {}, severity_success);
    if (sqlstate.empty()) return result(db_error_code, {}, severity_error);
    const bool warning = sqlstate.starts_with(u"01");
    return result(db_error_code, u"[" + sqlstate + u"] " + from_sql_text(text),
                  warning ? severity_warning : severity_error);
}

SQLHENV environment::Handle() noexcept { return handle; }
std::int32_t environment::Users() noexcept { return users; }
std::uint32_t environment::DbErrorCode() noexcept { return db_error_code; }
std::uint32_t environment::NoDataCode() noexcept { return no_data_code; }

}  // namespace qel::odbc

namespace qel::detail {

void ForgetOdbcTexts() noexcept {
    odbc::texts_registered = false;
    odbc::db_error_code = 0;
    odbc::no_data_code = 0;
}

}  // namespace qel::detail
