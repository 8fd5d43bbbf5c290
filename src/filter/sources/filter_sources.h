// Where the filters of a run with --filter, --file or --set come from: every such filter,
// file and set, in the order given, then the arguments, every one of which must then be a
// filter.
#pragma once

#include <span>
#include <string>

#include "file_reader.h"
#include "filter/sources/filter_arguments.h"
#include "filter/sources/named_sets.h"
#include "io/codec.h"
#include "options/program_options.h"
#include "value_or_error.h"

namespace huecast {

// What the filters come from: files are read through `reader` (none given: no file can be
// read), sets are looked for on `shelf` and read through `reader` (either not given: there
// are none), and their bytes are decoded with `codec`.
struct filter_places {
    file_reader* reader = nullptr;
    const set_shelf* shelf = nullptr;
    const io::codec& codec;
};

// The filters of `sources`, then those of `arguments`; or the message for the first
// --filter or file line that is not a filter, set that is not there, file that cannot be
// read, or argument that is not a filter. Nothing but the files is read.
value_or_error<FilterList, std::string> gather_filters(std::span<const filter_source> sources,
                                                                std::span<const char* const> arguments,
                                                                const filter_places& places);

}  // namespace huecast
