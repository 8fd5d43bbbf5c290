// Filters kept in a file, for --file: one per line, in the filter form ("0c,error") or
// styled ("bold red,error"; parse_styled_filter); blank lines and lines whose first
// non-blank character is "#" are ignored, and so is a UTF-8 byte-order mark at the very
// start. Lines end in LF or CR LF and are in the process code page, as arguments are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "file_reader.h"
#include "filter/sources/filter_arguments.h"
#include "io/codec.h"
#include "value_or_error.h"

namespace huecast {

// The most bytes a filter file may hold: far more than any real set of filters, and little
// enough that a file without end (/dev/zero, a pipe) is refused at once.
constexpr std::size_t filter_file_limit = std::size_t{1} << 20;

// The filters of `contents`, read from the file `name`, each labelled "name:line"; or the
// message for the first line that is not a filter (`name:3 "x": not a filter ...`).
value_or_error<FilterList, std::string> parse_filter_file(std::string_view name, std::string_view contents,
                                                                   const io::codec& codec);

// Why a filter file cannot be read, as its message says it after the file's name; the
// system's words are decoded with `codec`.
std::string why_unreadable(const unreadable& error, const io::codec& codec);

}  // namespace huecast
