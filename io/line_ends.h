// How a line ends in the output: LF on a terminal or console, CR LF in files and pipes.
// The one loop that writes every LF as CR LF lives here.
#pragma once

#include <string>
#include <string_view>

namespace io {

enum class line_end { lf, crlf };

// Appends `bytes` to `out` with every LF written as CR LF; a CR already there stays.
void append_with_crlf(std::string_view bytes, std::string& out);

}  // namespace io
