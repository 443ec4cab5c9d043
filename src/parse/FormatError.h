#pragma once
// Bytes that break their format's rules; the message says what was wrong in plain English.
#include <stdexcept>

class TFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
