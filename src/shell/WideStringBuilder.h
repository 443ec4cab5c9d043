#pragma once
// A growable buffer of wide characters. With KeepTerminators each appended text keeps its own
// terminating zero, so the buffer becomes the sequence of zero-terminated strings that the
// shell's file operations take.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TWideStringBuilder {
public:
    static constexpr uint32_t kDefaultGrowthStep = 0x100000;  // bytes

    // `growthStep` is in bytes; it is rounded up to a whole, even number of bytes.
    explicit TWideStringBuilder(bool keepTerminators = false,
                                uint32_t growthStep = kDefaultGrowthStep);

    void Append(std::wstring_view text);
    // Appends every entry in order, then the empty text (one more zero with KeepTerminators).
    void AppendList(const std::vector<std::wstring>& entries);

    // The text, always followed by a terminating zero (also before the first Append).
    const wchar_t* Buffer() const noexcept;
    // Characters in use, not counting the final terminator.
    uint32_t Length() const noexcept { return length_; }
    // Size of the buffer in bytes.
    uint32_t Allocated() const noexcept { return static_cast<uint32_t>(buffer_.size() * 2); }
    uint32_t GrowthStep() const noexcept { return growthStep_; }
    bool KeepTerminators() const noexcept { return keepTerminators_; }

private:
    std::vector<wchar_t> buffer_;  // zero-filled beyond the text
    uint32_t length_ = 0;
    uint32_t growthStep_;
    bool keepTerminators_;
};
