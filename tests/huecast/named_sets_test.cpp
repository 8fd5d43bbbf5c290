// Sets by name: the first directory that holds a name gives it; the message for a missing
// name lists what there is, or where it looked.
#include "filter/named_sets.h"

#include <gtest/gtest.h>


namespace {

using huecast::named_set;

class memory_shelf final : public huecast::set_shelf {
public:
    explicit memory_shelf(std::vector<std::pair<std::u16string, std::vector<std::u16string>>> shelves)
        : shelves_(std::move(shelves)) {}
    std::vector<std::u16string> directories() const override {
        std::vector<std::u16string> d;
        for (const auto& [directory, names] : shelves_) d.push_back(directory);
        return d;
    }
    std::vector<std::u16string> sets_in(std::u16string_view directory) const override {
        for (const auto& [d, names] : shelves_) {
            if (d == directory) return names;
        }
        return {};
    }
    std::u16string path_of(std::u16string_view directory, std::u16string_view file) const override {
        return std::u16string(directory) + u"/" + std::u16string(file);
    }

private:
    std::vector<std::pair<std::u16string, std::vector<std::u16string>>> shelves_;
};

TEST(NamedSets, TheFirstDirectoryThatHoldsANameGivesIt) {
    const memory_shelf shelf({{u"/home/u/.config/huecast", {u"syslog", u"mine"}},
                              {u"/usr/share/huecast", {u"syslog", u"build", u"diff"}}});
    EXPECT_EQ(huecast::every_set(shelf),
              (std::vector<named_set>{{u"build", u"/usr/share/huecast/build.filters"},
                                      {u"diff", u"/usr/share/huecast/diff.filters"},
                                      {u"mine", u"/home/u/.config/huecast/mine.filters"},
                                      {u"syslog", u"/home/u/.config/huecast/syslog.filters"}}));
    const std::pair<std::u16string_view, std::optional<std::u16string>> cases[] = {
        {u"syslog", u"/home/u/.config/huecast/syslog.filters"},
        {u"build", u"/usr/share/huecast/build.filters"},
        {u"Build", std::nullopt},
        {u"../huecast/build", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto& [name, path] : cases) EXPECT_EQ(huecast::find_set(shelf, name), path);
    EXPECT_EQ(huecast::no_such_set(shelf, u"sys\x1b"), u"no filter set 'sys\\e'; the sets found: build, diff, mine, syslog");
    EXPECT_EQ(huecast::no_such_set(memory_shelf({{u"/a", {}}, {u"/b", {}}}), u"x"),
              u"no filter set 'x'; there are none in /a, /b");
}

}  // namespace
