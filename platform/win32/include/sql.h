// MinGW-w64's ODBC headers take the Windows types as given, as the platform's own headers
// do: this puts <windows.h> (without its min and max macros) in front of them.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include_next <sql.h>
