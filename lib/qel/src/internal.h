// Hooks between the library's own translation units and its tests; not part of the
// library's interface.
#pragma once

namespace qel::detail {

// Forgets the registry and everything registered into it (the date and time errors' and
// the ODBC texts' once flags), so that a test can start from an empty registry. Entries
// held before are deleted.
void ResetRegistryForTests();

void ForgetDateTimeErrors() noexcept;
void ForgetOdbcTexts() noexcept;
void DropRegistry() noexcept;

}  // namespace qel::detail
