#include "shell/WideStringBuilder.h"

#include <limits>
#include <stdexcept>

namespace {

// Whole characters only: an odd step would leave half a character at the end of the buffer.
uint32_t EvenGrowthStep(uint32_t step)
{
    if (step < 2)
        return 2;
    return step & 1 ? (step == std::numeric_limits<uint32_t>::max() ? step - 1 : step + 1) : step;
}

}  // namespace

TWideStringBuilder::TWideStringBuilder(bool keepTerminators, uint32_t growthStep)
    : growthStep_(EvenGrowthStep(growthStep)), keepTerminators_(keepTerminators)
{
}

void TWideStringBuilder::Append(std::wstring_view text)
{
    // Sizes are kept in 32 bits: refuse a text whose bytes would not fit rather than wrap.
    const uint64_t needed = 2 * (static_cast<uint64_t>(length_) + text.size()) + 2;
    if (needed + growthStep_ > std::numeric_limits<uint32_t>::max())
        throw std::length_error("wide string buffer too long");
    uint64_t allocated = Allocated();
    while (needed >= allocated)
        allocated += growthStep_;
    if (allocated != Allocated())
        buffer_.resize(static_cast<size_t>(allocated / 2), L'\0');

    text.copy(buffer_.data() + length_, text.size());
    buffer_[length_ + text.size()] = L'\0';
    length_ += static_cast<uint32_t>(text.size()) + (keepTerminators_ ? 1 : 0);
}

void TWideStringBuilder::AppendList(const std::vector<std::wstring>& entries)
{
    for (const std::wstring& entry : entries)
        Append(entry);
    Append({});
}

const wchar_t* TWideStringBuilder::Buffer() const noexcept
{
    return buffer_.empty() ? L"" : buffer_.data();
}
