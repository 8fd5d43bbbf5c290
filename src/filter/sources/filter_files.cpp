#include "filter/sources/filter_files.h"

#include "messages.h"

namespace huecast {
namespace {

// Blank, or a comment: nothing but blanks before a "#".
bool ignored(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

static_assert(filter_file_limit % (1 << 20) == 0, "the message gives the limit in MiB");

}  // namespace

std::string why_unreadable(const unreadable& error, const io::codec& codec) {
    switch (error.why) {
        case unreadable::too_large:
            return messages::file_too_large(filter_file_limit);
        case unreadable::standard_input:
            return messages::file_is_standard_input();
        case unreadable::absent:
            return messages::not_a_regular_file();
        case unreadable::system:
            break;
    }
    std::string why;
    codec.decode(error.reason, why);
    return why;
}

value_or_error<FilterList, std::string> parse_filter_file(std::string_view name, std::string_view contents,
                                                                   const io::codec& codec) {
    // Editors on Windows start UTF-8 files with one; in any code page it is no filter.
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    FilterList filters;
    std::size_t number = 0;
    std::string line;
    while (!contents.empty()) {
        ++number;
        const std::size_t lf = contents.find('\n');
        std::string_view bytes = contents.substr(0, lf);
        contents.remove_prefix(lf == std::string_view::npos ? contents.size() : lf + 1);
        if (bytes.ends_with('\r')) bytes.remove_suffix(1);
        line.clear();
        codec.decode(bytes, line);
        if (ignored(line)) continue;
        std::string label = messages::file_line_label(messages::file_line_place(name, number), line);
        value_or_error<Filter, filter_form_error> filter = parse_styled_filter(line);
        if (!filter) return filter_form_message(filter.error(), label);
        filter->label = std::move(label);
        filters.push_back(std::move(*filter));
    }
    return filters;
}

}  // namespace huecast
