#pragma once
// The values of one details column of a folder's objects, as the list sorts by them when the
// folder's own comparison does not: sizes and times as numbers from the object's find data
// (which the ID list of a file-system object carries), every other column as the text the
// folder shows, and the name of each object to settle ties.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"

#include <shlobj.h>

#include <cstdint>
#include <map>
#include <string>

// File-system properties a details column may show (the storage property set's numbers).
inline constexpr DWORD kTypeProperty = 4;
inline constexpr DWORD kSizeProperty = 12;
inline constexpr DWORD kWriteTimeProperty = 14;
inline constexpr DWORD kCreationTimeProperty = 15;
inline constexpr DWORD kAccessTimeProperty = 16;

// The file-system property details column `column` of the folder shows, whatever its caption;
// 0 for any other column.
DWORD StoragePropertyOf(IShellFolder* folder, int column);

enum class TColumnValueKind { Name, Number, Text };

struct TColumnValue {
    bool Folder = false;
    uint64_t Number = 0;  // size in bytes, or time in file-time units
    std::wstring Text;    // the shown text of a text column
    std::wstring Name;    // file name, or the name in the folder
};

class TColumnValueReader {
public:
    // `column` is the folder's details column.
    TColumnValueReader(IShellFolder* folder, int column);
    TColumnValueKind Kind() const noexcept { return kind_; }
    TColumnValue Read(TBorrowedIDList object, bool folder);

private:
    enum class TSource { Name, Size, WriteTime, TypeText, Text };

    std::wstring DetailsText(TBorrowedIDList object);

    IShellFolder* folder_;
    TComPtr<IShellFolder2> folder2_;
    TComPtr<IShellDetails> details_;
    int column_;
    TSource source_ = TSource::Text;
    TColumnValueKind kind_ = TColumnValueKind::Text;
    // A file's type is its extension's: asked once per extension.
    std::map<std::wstring, std::wstring> typeByExtension_;
};
