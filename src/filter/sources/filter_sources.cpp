#include "filter/sources/filter_sources.h"

#include "filter/sources/filter_files.h"
#include "messages.h"

namespace huecast {
namespace {

static_assert(filter_file_limit % (1 << 20) == 0, "the message gives the limit in MiB");

std::string why_unreadable(const unreadable& error, const io::codec& codec) {
    switch (error.why) {
        case unreadable::too_large:
            return messages::file_too_large(filter_file_limit);
        case unreadable::standard_input:
            return messages::file_is_standard_input();
        case unreadable::system:
            break;
    }
    std::string why;
    codec.decode(error.reason, why);
    return why;
}

}  // namespace

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
        if (source.from == filter_source::kind::set) {
            std::optional<std::string> path = places.shelf != nullptr ? find_set(*places.shelf, name) : std::nullopt;
            if (!path) return places.shelf != nullptr ? no_such_set(*places.shelf, name) : "no filter sets here";
            name = std::move(*path);
        }
        value_or_error<std::string, unreadable> contents = places.reader != nullptr
                                                               ? places.reader->read(name, filter_file_limit)
                                                               : unreadable{"files cannot be read here"};
        if (!contents) return messages::unreadable_file(name, why_unreadable(contents.error(), places.codec));
        auto parsed = parse_filter_file(name, *contents, places.codec);
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
