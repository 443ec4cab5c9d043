#pragma once
// The rules by which the settings file's texts become values; a text that breaks them reads as
// the caller's default.
#include <string_view>

// Decimal with an optional sign, or hexadecimal after "0x"/"0X" when longer than two
// characters (all 32 bits: "0xFFFFFFFF" is -1); false when the text is not a whole 32-bit
// number.
bool ParseSettingsInteger(std::string_view text, int& value);

// An integer, true when not zero; the default for any other text.
bool ParseSettingsBoolean(std::string_view text, bool defaultValue);
