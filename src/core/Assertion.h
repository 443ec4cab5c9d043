#pragma once
// Internal consistency checks. A failed check raises EAssertionFailed whose message names the
// source unit and line: "<text> (<unit>, line <n>)".
#include "core/Exception.h"

class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void AssertionFailed(const std::wstring& text, const wchar_t* unit, int line);
