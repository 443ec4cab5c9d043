#pragma once
// The record that every item of the shell list carries as its data: the object it stands for
// and what the list caches about it. The item's texts, images and marks live in the list item
// itself and are filled when the list view first draws it.
#include "core/IDListPtr.h"

#include <cstddef>
#include <cstdint>
#include <string>

class TZelShellListItem {
public:
    // Takes ownership of `idList` (relative to the list's current folder).
    TZelShellListItem(TOwnedIDList idList, bool folder) : Folder(folder), idList_(std::move(idList))
    {
    }
    virtual ~TZelShellListItem() = default;
    TZelShellListItem(const TZelShellListItem&) = delete;
    TZelShellListItem& operator=(const TZelShellListItem&) = delete;

    // The " .. " item that stands for the parent folder.
    virtual bool IsParentFolder() const noexcept { return false; }

    TBorrowedIDList IDList() const noexcept { return idList_; }
    void SetIDList(TOwnedIDList idList) noexcept { idList_ = std::move(idList); }

    // Seen mark of the incremental refresh: 1 when created.
    long Present = 1;
    // Names the item to the results of its background work (0: none asked for yet); never
    // reused within a list, unlike the item's address.
    uint32_t Sequence = 0;
    // Place in the order the list worked out itself, while it sorts by it (" .. " keeps 0).
    size_t SortRank = 0;
    // Full parsing path, empty until first asked for (TZelShellList::ItemPath).
    std::wstring FullPath;
    bool Folder = false;
    bool Compressed = false;
    bool Encrypted = false;

private:
    TOwnedIDList idList_;
};

class TZelShellListParentFolderItem : public TZelShellListItem {
public:
    TZelShellListParentFolderItem() : TZelShellListItem(TOwnedIDList(), true) {}
    bool IsParentFolder() const noexcept override { return true; }
};

// The caption of the parent-folder item.
inline constexpr wchar_t kParentFolderCaption[] = L" .. ";
