#include "core/Assertion.h"

void AssertionFailed(const std::wstring& text, const wchar_t* unit, int line)
{
    throw EAssertionFailed(text + L" (" + unit + L", line " + std::to_wstring(line) + L")");
}
