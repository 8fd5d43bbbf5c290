#include "filter/filter_files.h"

#include "printable.h"

namespace huecast {
namespace {

// Blank, or a comment: nothing but blanks before a "#".
bool ignored(std::u16string_view line) {
    const std::size_t first = line.find_first_not_of(u" \t");
    return first == std::u16string_view::npos || line[first] == u'#';
}

}  // namespace

value_or_error<labelled_filters, std::u16string> parse_filter_file(std::u16string_view name, std::string_view contents,
                                                                   const io::codec& codec) {
    // Editors on Windows start UTF-8 files with one; in any code page it is no filter.
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    const std::u16string shown_name = printable(name);
    labelled_filters filters;
    std::size_t number = 0;
    std::u16string line;
    while (!contents.empty()) {
        ++number;
        const std::size_t lf = contents.find('\n');
        std::string_view bytes = contents.substr(0, lf);
        contents.remove_prefix(lf == std::string_view::npos ? contents.size() : lf + 1);
        if (bytes.ends_with('\r')) bytes.remove_suffix(1);
        line.clear();
        codec.decode(bytes, line);
        if (ignored(line)) continue;
        const std::u16string place = shown_name + u":" + decimal(number);
        std::u16string shown_line(1, u'"');
        shown_line.append(printable(line)).push_back(u'"');
        std::optional<Filter> filter = parse_filter(line);
        if (!filter) return place + u": not a filter (colour digits, a comma, an expression): " + shown_line;
        filters.push_back({std::move(*filter), place + u" " + shown_line});
    }
    return filters;
}

}  // namespace huecast
