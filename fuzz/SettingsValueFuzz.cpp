// Any text as a settings value: a number that prints back to a text of the same value, or the
// default.
#include "parse/SettingsValue.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int value = 0;
    if (!ParseSettingsInteger(text, value)) {
        if (ParseSettingsBoolean(text, true) != true || ParseSettingsBoolean(text, false) != false)
            std::abort();
        return 0;
    }
    int again = 1;
    if (!ParseSettingsInteger(std::to_string(value), again) || again != value)
        std::abort();
    if (ParseSettingsBoolean(text, value == 0) != (value != 0))
        std::abort();
    return 0;
}
