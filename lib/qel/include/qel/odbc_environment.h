// The process's ODBC environment handle, shared by every live `odbc::environment`: the
// first one made allocates it, the last one destroyed releases it. Failures of the driver
// manager are turned into `result`s and otherwise ignored, so nothing depends on the
// handle being there. The first object also registers the library's two database texts.
#pragma once

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdint>

#include "qel/base.h"
#include "qel/result.h"

namespace qel::odbc {

// The driver manager's entry points the environment uses. The real driver manager's by
// default; tests put their own in place to script its answers.
struct driver_manager {
    SQLRETURN (*AllocEnv)(SQLHENV* env);
    SQLRETURN (*SetEnvAttr)(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length);
    SQLRETURN (*FreeEnv)(SQLHENV env);
    SQLRETURN (*ErrorW)(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLWCHAR* state, SQLINTEGER* native,
                        SQLWCHAR* text, SQLSMALLINT text_capacity, SQLSMALLINT* text_length);
};

// The real driver manager's entry points.
driver_manager SystemDriverManager() noexcept;
// Makes `dm` the entry points used from now on; returns the ones used until now.
driver_manager UseDriverManager(const driver_manager& dm) noexcept;

class environment : public base {
public:
    environment();
    environment(const environment&) = delete;
    environment& operator=(const environment&) = delete;
    ~environment() override;

    // Allocates the handle and asks for ODBC 3 behaviour; code 0, or the diagnostic.
    static result Allocate();
    // Frees the handle; code 6 when there is none, code 0 on success, else the
    // diagnostic (the handle is then kept).
    static result Release();
    // The driver manager's last diagnostic for the handles: code 0 for SQLSTATE 00000;
    // otherwise DbErrorCode with the context "[<SQLSTATE>] <text>" (nothing for an empty
    // SQLSTATE) and severity 2 for the warning class 01, else 3.
    static result DiagnosticResult(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt);

    static SQLHENV Handle() noexcept;
    static std::int32_t Users() noexcept;
    // Library codes of "Ошибка при обращении к базе данных" and "Нет данных"; 0 until the
    // first environment is made.
    static std::uint32_t DbErrorCode() noexcept;
    static std::uint32_t NoDataCode() noexcept;
};

}  // namespace qel::odbc
