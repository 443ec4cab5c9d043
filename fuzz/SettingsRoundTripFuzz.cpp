// Any bytes as a settings value: the text stored for it reads back as the value, or the value
// is refused because no stored text could carry it. Integers and Booleans as the program
// writes them are stored unchanged and read back equal.
#include "parse/SettingsText.h"
#include "parse/SettingsValue.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool NeedsNoProtection(char c)
{
    return static_cast<unsigned char>(c) > ' ' && c != '"' && c != '\'';
}

void CheckStoredAsItIs(const std::string& text)
{
    const std::optional<std::string> stored = SettingsStoredText(text);
    Check(stored && *stored == text);
    Check(SettingsReadBack(*stored) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the read buffer: the program's, or a small one so that short inputs
    // reach the length limits too.
    const std::size_t capacity = (data[0] & 0x80) != 0
                                     ? kSettingsReadCapacity
                                     : 1 + static_cast<std::size_t>(data[0] & 0x3F);
    const std::string value(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::optional<std::string> stored = SettingsStoredText(value, capacity);
    const bool unstorable = value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    if (!stored) {
        // Refused only for a line break or null, or for a length that, quoted, would not fit.
        Check(unstorable || value.size() + 2 > capacity - 1);
    } else {
        Check(!unstorable);
        Check(stored->find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        Check(stored->size() <= capacity - 1);
        Check(*stored == value || *stored == "\"" + value + "\"");
        // Plain values (paths, numbers) are stored byte for byte, as files have always held them.
        if (!value.empty() && NeedsNoProtection(value.front()) && NeedsNoProtection(value.back()))
            Check(*stored == value);
        Check(SettingsReadBack(*stored, capacity) == value);
    }

    if (value.size() >= sizeof(int)) {
        int number = 0;
        std::memcpy(&number, value.data(), sizeof(number));
        const std::string text = std::to_string(number);
        CheckStoredAsItIs(text);
        int again = number ^ 1;
        Check(ParseSettingsInteger(SettingsReadBack(text), again) && again == number);
    }
    const bool flag = (data[0] & 1) != 0;
    CheckStoredAsItIs(flag ? "1" : "0");
    Check(ParseSettingsBoolean(SettingsReadBack(flag ? "1" : "0"), !flag) == flag);
    return 0;
}
