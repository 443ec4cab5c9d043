#include "parse/SettingsText.h"

#include <algorithm>

namespace {

// What the reader trims from both ends of a value (Wine's set; ^Z is an old end-of-file mark).
bool IsReaderSpace(char c)
{
    return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' ';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

// An end the reader may trim or take for a quote. Any control character counts, not only the
// ones Wine trims: a reader with a wider idea of white space must still get the value back.
bool NeedsProtection(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || IsQuote(c);
}

}  // namespace

std::optional<std::string> SettingsStoredText(std::string_view value, std::size_t capacity)
{
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return std::nullopt;
    std::string stored;
    if (!value.empty() && (NeedsProtection(value.front()) || NeedsProtection(value.back())))
        stored.append("\"").append(value).append("\"");
    else
        stored.assign(value);
    // Room for the whole text and the null, so that no reader cuts it or its closing quote.
    if (capacity == 0 || stored.size() > capacity - 1)
        return std::nullopt;
    return stored;
}

std::string SettingsReadBack(std::string_view stored, std::size_t capacity)
{
    std::string_view text = stored.substr(0, stored.find('\0'));
    text = text.substr(0, text.find_first_of("\r\n"));
    while (!text.empty() && IsReaderSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsReaderSpace(text.back()))
        text.remove_suffix(1);
    if (capacity == 0)
        return {};
    const bool quoted = text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
    if (!quoted)
        return std::string(text.substr(0, capacity - 1));
    // Wine copies what follows the opening quote into the buffer and drops the last character
    // copied only when the buffer holds at least as many characters as that rest; a buffer
    // exactly that size loses the closing quote to the cut and one character of the value.
    const std::string_view rest = text.substr(1);
    std::string copied(rest.substr(0, std::min(rest.size(), capacity - 1)));
    if (capacity >= rest.size() && !copied.empty())
        copied.pop_back();
    return copied;
}
