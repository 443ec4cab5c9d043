// TNautilex: names, attributes, link target, modification time and renaming of the current
// object.
#include "shell/Nautilex.h"

#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "ui/Cursor.h"

namespace {

// 100-nanosecond intervals per day, and days from 1601-01-01 (the file-time epoch) to
// 1899-12-30 (the date-time epoch).
constexpr double kFileTimeUnitsPerDay = 864000000000.0;
constexpr double kFileTimeEpochInDays = 109205.0;

// The file-system path of an absolute list; Wine answers "::{GUID}" texts for virtual
// objects, which are no paths.
std::wstring FileSystemPathOf(TBorrowedIDList list)
{
    std::wstring path = PathFromIDList(list);
    if (StartsWithText(path, L"::"))
        path.clear();
    return path;
}

}  // namespace

// Fetched once per object. A record without a file name (the shell answers so for some
// virtual objects) counts as unavailable, and is not asked for again either.
bool TNautilex::FetchFindData()
{
    if (findDataState_ == TFindDataState::NotFetched) {
        findDataState_ = TFindDataState::Unavailable;
        if (shellFolder_ && objectIDList_) {
            ++counts_.FindData;
            WIN32_FIND_DATAW data{};
            if (SUCCEEDED(SHGetDataFromIDListW(shellFolder_.Get(), objectIDList_, SHGDFIL_FINDDATA,
                                               &data, sizeof(data))) &&
                data.cFileName[0] != L'\0') {
                data.cFileName[MAX_PATH - 1] = L'\0';
                findData_ = data;
                findDataState_ = TFindDataState::Available;
            }
        }
    }
    return findDataState_ == TFindDataState::Available;
}

std::wstring TNautilex::GetObjectName()
{
    if (!folderIDList_ || !objectIDList_)
        return {};
    if (FetchFindData())
        return findData_.cFileName;
    const TBorrowedIDList absolute = AbsoluteIDList();
    if (IDListItemCount(absolute) <= 1)
        return {};  // objects directly on the desktop have no file name
    const std::wstring path = FileSystemPathOf(absolute);
    if (!path.empty() && SameText(ExtractFileDrive(path), path.substr(0, path.size() - 1)))
        return path;  // a drive root is named by its path ("C:\")
    std::wstring name = ExtractFileName(path);
    if (name.empty())
        name = NetworkNameOf(shellFolder_.Get(), objectIDList_);
    return name;
}

ULONG TNautilex::GetAttributes(ULONG mask)
{
    if (!objectIDList_ || !shellFolder_)
        return 0;
    SFGAOF attributes = mask;
    LPCITEMIDLIST items[1] = {objectIDList_.get()};
    if (FAILED(shellFolder_->GetAttributesOf(1, items, &attributes)))
        return 0;
    return mask & attributes;
}

bool TNautilex::IsHidden()
{
    return GetAttributes(SFGAO_HIDDEN) != 0;
}

bool TNautilex::IsLink()
{
    return GetAttributes(SFGAO_LINK) != 0;
}

bool TNautilex::CanRename()
{
    return GetAttributes(SFGAO_CANRENAME) != 0;
}

std::wstring TNautilex::DisplayName()
{
    if (!objectIDList_ || !shellFolder_)
        return {};
    std::wstring name;
    STRRET text{};
    if (SUCCEEDED(shellFolder_->GetDisplayNameOf(objectIDList_, SHGDN_NORMAL, &text)))
        name = StrRetToString(objectIDList_, text);
    if (name.empty())
        name = GetObjectName();
    return name;
}

std::wstring TNautilex::NetworkName()
{
    return NetworkNameOf(shellFolder_.Get(), objectIDList_);
}

std::wstring TNautilex::LinkTarget()
{
    if (!IsLink())
        return {};
    std::wstring target = ResolveLinkTarget(GetFolder() + GetObjectName());
    if (!PathExists(target))
        target.clear();
    return target;
}

TDateTime TNautilex::ModifiedTime()
{
    if (!FetchFindData() || findData_.ftLastWriteTime.dwHighDateTime == 0)
        return 0;
    ULARGE_INTEGER time;
    time.LowPart = findData_.ftLastWriteTime.dwLowDateTime;
    time.HighPart = findData_.ftLastWriteTime.dwHighDateTime;
    return static_cast<double>(time.QuadPart) / kFileTimeUnitsPerDay - kFileTimeEpochInDays;
}

bool TNautilex::Rename(std::wstring& name)
{
    const TWaitCursor waitCursor;
    HRESULT result = E_INVALIDARG;
    if (shellFolder_ && objectIDList_) {
        TOwnedIDList renamed;
        // The in-folder form: where the shell hides extensions it keeps the old one.
        result = shellFolder_->SetNameOf(OwnerWindow(), objectIDList_, name.c_str(), SHGDN_INFOLDER,
                                         renamed.put());
        if (SUCCEEDED(result) && renamed)
            SetObjectIDList(renamed);
    }
    name = DisplayName();
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    return true;
}
