#pragma once
// How a settings value travels through the profile file: the text stored for it on the line
// "key=text", and what the profile reader hands back for a stored text. The reader trims
// white space at both ends and removes one pair of matching surrounding quotes, so a value
// that would lose either is stored in double quotes; what no stored text can carry is refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The characters the program reads a value into, its terminating null included.
inline constexpr std::size_t kSettingsReadCapacity = 2048;

// The text to store so that the reader gives the value back; the value itself unless its ends
// need protecting. Nothing for a value with a line break (it would end the line and start a
// key or section of its own), a null (the profile functions stop at it) or one too long to be
// read back whole into `capacity` characters.
std::optional<std::string> SettingsStoredText(std::string_view value,
                                              std::size_t capacity = kSettingsReadCapacity);

// What the reader gives for a stored text read into `capacity` characters: the text up to a
// null or line break, trimmed of white space, without one pair of matching surrounding quotes,
// cut to fit. Cutting follows Wine's reader; the writer never stores a text it would cut.
std::string SettingsReadBack(std::string_view stored, std::size_t capacity = kSettingsReadCapacity);
