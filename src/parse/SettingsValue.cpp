#include "parse/SettingsValue.h"

#include <cstdint>

bool ParseSettingsInteger(std::string_view text, int& value)
{
    std::size_t index = 0;
    int base = 10;
    bool negative = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        index = 2;
    } else if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        index = 1;
    }
    if (index >= text.size())
        return false;
    // Hexadecimal may use all 32 bits; decimal must fit an int.
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t number = 0;
    for (; index < text.size(); ++index) {
        const char c = text[index];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        number = number * base + digit;
        if (number > limit)
            return false;
    }
    value = base == 16 ? static_cast<int>(static_cast<std::uint32_t>(number))
                       : static_cast<int>(negative ? -number : number);
    return true;
}

bool ParseSettingsBoolean(std::string_view text, bool defaultValue)
{
    int value = 0;
    return ParseSettingsInteger(text, value) ? value != 0 : defaultValue;
}
