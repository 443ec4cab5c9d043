// The text stored for a settings value, and what the profile reader makes of stored texts.
#include "parse/SettingsText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(SettingsText, ValuesAreStoredAsTheyAreUnlessTheirEndsNeedQuotes)
{
    struct TCase {
        std::string value;
        std::optional<std::string> stored;
    };
    const std::string longest(kSettingsReadCapacity - 1, 'p');
    std::string spaced(kSettingsReadCapacity - 2, 'p');  // quoted, one too long
    spaced.front() = ' ';
    const std::string fitting = spaced.substr(0, spaced.size() - 1);
    const TCase cases[] = {
        // What files have always held stays byte for byte.
        {"C:\\Some Folder\\", "C:\\Some Folder\\"},
        {"-2147483648", "-2147483648"},
        {"1", "1"},
        {"", ""},
        {"a \"b\" c", "a \"b\" c"},
        {"x=[y];z", "x=[y];z"},
        {"\xe9t\xe9", "\xe9t\xe9"},
        {longest, longest},
        // Ends the reader would trim or take for quotes.
        {" ", "\" \""},
        {"\tx", "\"\tx\""},
        {"x\x1a", "\"x\x1a\""},
        {"\x01x", "\"\x01x\""},
        {"\"", "\"\"\""},
        {"'a'", "\"'a'\""},
        {"\"a", "\"\"a\""},
        {fitting, std::string("\"").append(fitting).append("\"")},
        // What no stored text carries.
        {"a\r\nb=1", std::nullopt},
        {"a\rb", std::nullopt},
        {std::string("a\0b", 3), std::nullopt},
        {longest + "p", std::nullopt},
        {spaced, std::nullopt},
    };
    for (const TCase& c : cases) {
        const std::optional<std::string> stored = SettingsStoredText(c.value);
        EXPECT_EQ(stored.has_value(), c.stored.has_value()) << c.value.substr(0, 40);
        if (stored && c.stored) {
            EXPECT_EQ(*stored, *c.stored) << c.value.substr(0, 40);
        }
    }
}
