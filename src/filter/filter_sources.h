// Where the filters of a run with --file come from: every filter file, in the order given,
// then the arguments, every one of which must then be a filter.
#pragma once

#include <span>
#include <string>

#include "file_reader.h"
#include "filter/filter_arguments.h"
#include "io/codec.h"
#include "value_or_error.h"

namespace huecast {

// The filters of `files`, read through `reader` (none given: no file can be read) and
// decoded with `codec`, then those of `arguments`; or the message for the first file that
// cannot be read, the first line that is not a filter, or the first argument that is not
// one. Nothing but the files is read.
value_or_error<labelled_filters, std::u16string> gather_filters(std::span<const std::u16string> files,
                                                                std::span<const char16_t* const> arguments,
                                                                file_reader* reader, const io::codec& codec);

}  // namespace huecast
