#include "filter/sources/filter_sources.h"

#include "filter/sources/filter_files.h"
#include "messages.h"

namespace huecast {

value_or_error<FilterList, std::string> gather_filters(std::span<const filter_source> sources,
                                                                std::span<const char* const> arguments,
                                                                const filter_places& places) {
    FilterList filters;
    for (const filter_source& source : sources) {
        if (source.from == filter_source::kind::filter) {
            std::string label = messages::option_filter_label(source.name);
            value_or_error<Filter, filter_form_error> filter = parse_styled_filter(source.name);
            if (!filter) return filter_form_message(filter.error(), label);
            filter->label = std::move(label);
            filters.push_back(std::move(*filter));
            continue;
        }
        std::string name = source.name;
        std::string contents;
        if (source.from == filter_source::kind::set) {
            if (places.shelf == nullptr || places.reader == nullptr) return std::string("no filter sets here");
            value_or_error<read_set_file, std::string> set =
                read_set(*places.shelf, *places.reader, name, filter_file_limit, places.codec);
            if (!set) return set.error();
            name = std::move(set->path);
            contents = std::move(set->contents);
        } else {
            value_or_error<std::string, unreadable> file =
                places.reader != nullptr ? places.reader->read(name, filter_file_limit, file_kind::any)
                                         : unreadable{"files cannot be read here"};
            if (!file) return messages::unreadable_file(name, why_unreadable(file.error(), places.codec));
            contents = std::move(*file);
        }
        auto parsed = parse_filter_file(name, contents, places.codec);
        if (!parsed) return parsed.error();
        filters.insert(filters.end(), std::make_move_iterator(parsed->begin()), std::make_move_iterator(parsed->end()));
    }
    auto from_arguments = parse_filters(arguments);
    if (!from_arguments) {
        return messages::not_a_filter_argument(arguments[from_arguments.error().index]);
    }
    filters.insert(filters.end(), std::make_move_iterator(from_arguments->begin()),
                   std::make_move_iterator(from_arguments->end()));
    return filters;
}

}  // namespace huecast
