#include "controls/common/ColumnValues.h"

#include "core/TextCompare.h"
#include "shell/IDList.h"

#include <shlwapi.h>

namespace {

// The storage property set, which names the file-system columns whatever their captions.
constexpr GUID kStorageProperties = {
    0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};

uint64_t FileTimeValue(const FILETIME& time) noexcept
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

DWORD StoragePropertyOf(IShellFolder* folder, int column)
{
    TComPtr<IShellFolder2> folder2;
    if (folder == nullptr || column < 0 ||
        FAILED(folder->QueryInterface(IID_PPV_ARGS(folder2.GetAddressOf()))))
        return 0;
    SHCOLUMNID property{};
    if (FAILED(folder2->MapColumnToSCID(static_cast<UINT>(column), &property)) ||
        property.fmtid != kStorageProperties)
        return 0;
    return property.pid;
}

TColumnValueReader::TColumnValueReader(IShellFolder* folder, int column)
    : folder_(folder), column_(column)
{
    if (folder_ == nullptr)
        return;
    folder_->QueryInterface(IID_PPV_ARGS(folder2_.GetAddressOf()));
    if (!folder2_)
        folder_->CreateViewObject(nullptr, IID_IShellDetails,
                                  reinterpret_cast<void**>(details_.GetAddressOf()));
    if (column_ == 0) {
        source_ = TSource::Name;
        kind_ = TColumnValueKind::Name;
        return;
    }
    switch (StoragePropertyOf(folder_, column_)) {
    case kSizeProperty: source_ = TSource::Size; break;
    case kWriteTimeProperty: source_ = TSource::WriteTime; break;
    case kTypeProperty: source_ = TSource::TypeText; break;
    default: break;
    }
    if (source_ == TSource::Size || source_ == TSource::WriteTime)
        kind_ = TColumnValueKind::Number;
}

TColumnValue TColumnValueReader::Read(TBorrowedIDList object, bool folder)
{
    TColumnValue value;
    value.Folder = folder;
    WIN32_FIND_DATAW data{};
    const bool found =
        folder_ != nullptr &&
        SUCCEEDED(SHGetDataFromIDListW(folder_, object, SHGDFIL_FINDDATA, &data, sizeof(data))) &&
        data.cFileName[0] != L'\0';
    if (found) {
        data.cFileName[MAX_PATH - 1] = L'\0';
        value.Name = data.cFileName;
    } else if (folder_ != nullptr) {
        STRRET name{};
        if (SUCCEEDED(folder_->GetDisplayNameOf(object, SHGDN_INFOLDER, &name)))
            value.Name = StrRetToString(object, name);
    }
    switch (source_) {
    case TSource::Name: break;
    case TSource::Size:
        if (found && !folder)
            value.Number = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        break;
    case TSource::WriteTime:
        if (found)
            value.Number = FileTimeValue(data.ftLastWriteTime);
        break;
    case TSource::TypeText:
        if (found && !folder) {
            const std::wstring extension = UpperCase(PathFindExtensionW(data.cFileName));
            const auto known = typeByExtension_.find(extension);
            if (known != typeByExtension_.end()) {
                value.Text = known->second;
                break;
            }
            value.Text = DetailsText(object);
            typeByExtension_.emplace(extension, value.Text);
            break;
        }
        value.Text = DetailsText(object);
        break;
    case TSource::Text: value.Text = DetailsText(object); break;
    }
    return value;
}

std::wstring TColumnValueReader::DetailsText(TBorrowedIDList object)
{
    SHELLDETAILS details{};
    HRESULT result = E_NOINTERFACE;
    if (folder2_)
        result = folder2_->GetDetailsOf(object, static_cast<UINT>(column_), &details);
    else if (details_)
        result = details_->GetDetailsOf(object, static_cast<UINT>(column_), &details);
    if (FAILED(result))
        return {};
    return StrRetToString(object, details.str);
}
