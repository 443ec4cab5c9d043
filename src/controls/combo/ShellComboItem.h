#pragma once
// One entry of the folder combo: the place in the namespace it stands for, how it is drawn
// (text, indentation level, icon) and whether it belongs to the base list or only shows the
// way to the current folder. The combo owns its entries' items and frees each with its entry.
#include "core/Component.h"
#include "core/IDListPtr.h"

#include <string>

class TZelComboItem : public TObject {
public:
    TZelComboItem() = default;
    TZelComboItem(const TZelComboItem&) = delete;
    TZelComboItem& operator=(const TZelComboItem&) = delete;

    // The text of the entry in the combo's list; setting it also sets IsDriveRoot.
    const std::wstring& Name() const noexcept { return name_; }
    void SetName(const std::wstring& value);
    // Name is a drive root ("C:\" or "C:").
    bool IsDriveRoot = false;
    // The text drawn for the entry.
    std::wstring DisplayName;
    // Indentation: 0 the desktop, 1 its folders, 2 the drives and the computer's other
    // folders, deeper for the folders on the way to the current one.
    int Level = 0;
    // Part of the base list (desktop, its folders, the drives), not a way to the current folder.
    bool Fixed = false;

    // Index in the system's small icons, looked up from IDList when first asked for; -1 when
    // the shell has none. Setting -1 makes the next read look it up.
    int ImageIndex();
    void SetImageIndex(int value) noexcept { imageIndex_ = value < 0 ? kUnknownImage : value; }
    // Whether the index is known yet (asking for it looks it up).
    bool ImageIndexKnown() const noexcept { return imageIndex_ != kUnknownImage; }

    // The entry's absolute ID list.
    TBorrowedIDList IDList() const noexcept { return idList_; }
    void SetIDList(TOwnedIDList list) noexcept { idList_ = std::move(list); }

private:
    static constexpr int kUnknownImage = -2;

    std::wstring name_;
    int imageIndex_ = kUnknownImage;
    TOwnedIDList idList_;
};
