// TNautilex: walking the folder's objects, the filter masks, folder tests and selecting an
// object by name.
#include "shell/Nautilex.h"

#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

namespace {

TZelShellFolders DrivesOrNetwork()
{
    TZelShellFolders among;
    among.set(SF_DRIVES);
    among.set(SF_NETWORK);
    return among;
}

}  // namespace

void TNautilex::DropEnumerator() noexcept
{
    enumerator_.Reset();
    if (walkingOffer_)
        DropOffer();
}

void TNautilex::DropOffer() noexcept
{
    walkingOffer_ = false;
    offer_.clear();
    offerNext_ = 0;
    offerFolder_.reset();
}

void TNautilex::OfferObjects(TBorrowedIDList folder, std::vector<TOwnedIDList> objects)
{
    DropOffer();
    offerFolder_ = CopyIDList(folder);
    if (offerFolder_)
        offer_ = std::move(objects);
}

bool TNautilex::FetchNextItem(TOwnedIDList& item)
{
    if (walkingOffer_) {
        if (offerNext_ >= offer_.size())
            return false;
        item = std::move(offer_[offerNext_++]);
        return static_cast<bool>(item);
    }
    ULONG fetched = 0;
    const HRESULT result = enumerator_->Next(1, item.put(), &fetched);
    return result == S_OK && item;
}

// Objects outside the file system that a file-system-only browser still shows: recycle
// folders, the computer and network folders, and the named entries of the network.
bool TNautilex::PassesFileSystemRule()
{
    if (GetAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR) != 0)
        return true;
    const std::wstring name = GetObjectName();
    if (UpperCase(name.substr(0, 7)) == L"RECYCLE")
        return true;
    if (NetworkIDList && SameIDLists(folderIDList_, NetworkIDList))
        return !name.empty();
    const TZelShellFolder special = SpecialFolderOf(AbsoluteIDList(), DrivesOrNetwork());
    return special == SF_DRIVES || special == SF_NETWORK;
}

bool TNautilex::NextObject()
{
    // After a failed bind the old shell folder is still held, but no list to place its
    // objects under.
    if (!shellFolder_ || !folderIDList_)
        return false;
    if (!Walking() && offerFolder_) {
        // Offered objects serve one pass over their own folder only.
        if (SameIDLists(offerFolder_, folderIDList_))
            walkingOffer_ = true;
        else
            DropOffer();
    }
    if (!Walking()) {
        const HWND owner = OwnerWindow();
        TComPtr<IEnumIDList> enumerator;
        HRESULT result;
        {
            TErrorModeScope errorMode(ShellErrorMode());
            result = shellFolder_->EnumObjects(owner, kEnumerationFlags, enumerator.GetAddressOf());
        }
        if (FAILED(result) || !enumerator)
            return false;
        enumerator_ = std::move(enumerator);
    }
    try {
        for (;;) {
            TOwnedIDList item;
            if (!FetchNextItem(item)) {
                DropEnumerator();
                return false;
            }
            SetObjectIDList(item);
            if (FileSystemOnly && !PassesFileSystemRule())
                continue;
            if (MatchesFilter())
                return true;
        }
    } catch (...) {
        // One more item keeps a listing going past an object that could not be examined.
        try {
            TOwnedIDList item;
            if (Walking() && FetchNextItem(item)) {
                SetObjectIDList(item);
                return true;
            }
        } catch (...) {
        }
        DropEnumerator();
        return false;
    }
}

bool TNautilex::MatchesFilter()
{
    if (masks_.empty() || IsFolder())
        return true;
    const std::wstring name = GetObjectName();
    for (const std::wstring& mask : masks_)
        if (MatchesMask(name, mask))
            return true;
    return false;
}

void TNautilex::SetFilter(const std::wstring& value)
{
    masks_.clear();
    if (value.empty() || value == L"*")
        return;
    std::wstring text = value;
    if (text.back() != L';')
        text += L';';
    size_t start = 0;
    for (size_t end; (end = text.find(L';', start)) != std::wstring::npos; start = end + 1)
        masks_.push_back(text.substr(start, end - start));
}

std::wstring TNautilex::GetFilter() const
{
    if (masks_.empty())
        return L"*";
    std::wstring text;
    for (size_t index = 0; index < masks_.size(); ++index) {
        if (index > 0)
            text += L';';
        text += masks_[index];
    }
    return text;
}

bool TNautilex::IsFolder()
{
    if (!objectIDList_)
        return false;
    if (!FileSystemOnly)
        return GetAttributes(SFGAO_FOLDER) != 0;
    const ULONG attributes = GetAttributes(SFGAO_FOLDER | SFGAO_FILESYSANCESTOR);
    return (attributes & SFGAO_FOLDER) != 0 &&
           (IsWin9x || (attributes & SFGAO_FILESYSANCESTOR) != 0);
}

bool TNautilex::HasSubFolders()
{
    if (!objectIDList_)
        return true;
    if (hasSubFoldersCache_ < 0) {
        ++counts_.SubFolders;
        bool result;
        if (!IsWin9x && HasExtension(GetObjectName(), L".ZIP")) {
            // Archives open as folders only outside a file-system-only view.
            result = !FileSystemOnly;
        } else if (FileSystemOnly) {
            const ULONG attributes =
                GetAttributes(SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
            result = (attributes & SFGAO_HASSUBFOLDER) != 0 &&
                     (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) != 0;
        } else {
            result = GetAttributes(SFGAO_HASSUBFOLDER) != 0;
        }
        hasSubFoldersCache_ = result ? 1 : 0;
    }
    return hasSubFoldersCache_ == 1;
}

bool TNautilex::IsFileFolder()
{
    const std::wstring folder = GetFolder();
    return !folder.empty() && !HasExtension(ExcludeTrailingBackslash(folder), L".ZIP") &&
           !SameIDLists(folderIDList_, DesktopIDList);
}

TZelShellFolder TNautilex::ObjectSpecialFolder()
{
    return SpecialFolderOf(AbsoluteIDList());
}

// Walks the folder for an object whose display name or name is `name`. A pass already
// running is continued first; when it ends without a match the folder is walked once more
// from the start, so that objects the running pass had passed are not missed.
bool TNautilex::SearchObject(const std::wstring& name)
{
    if (!shellFolder_)
        return false;
    const int passes = Walking() ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        while (NextObject()) {
            if (SameText(DisplayName(), name) || SameText(GetObjectName(), name)) {
                DropEnumerator();
                return true;
            }
        }
    }
    return false;
}

void TNautilex::SetObjectName(const std::wstring& input)
{
    if (input.empty()) {
        SetObjectIDList(nullptr);
        return;
    }
    std::wstring value = input;
    if (value.size() > 3 && value.back() == L'\\')
        value.pop_back();

    // A drive ("C:", "C:\" or a UNC share) is an object of the computer folder.
    if (IsDriveRoot(value)) {
        SetFolder(value);
        SelectFolderInParent();
        return;
    }

    if (value.find(L'\\') == std::wstring::npos) {
        if (shellFolder_) {
            TOwnedIDList list;
            {
                TErrorModeScope errorMode(ShellErrorMode());
                list = IDListFromPath(shellFolder_.Get(), value);
            }
            SetObjectIDList(list);
            if (list)
                return;
        }
        if (!SearchObject(value))
            throw ENautilexError(ObjectNotFoundMessage(value, GetFolder()));
        return;
    }

    SetFolder(ExtractFilePath(value));
    SetObjectName(ExtractFileName(value));
}
