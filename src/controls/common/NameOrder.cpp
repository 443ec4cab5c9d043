#include "controls/common/NameOrder.h"

#include "controls/common/ColumnOrder.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// The name's collation key, ignoring case as the file system does: comparing two keys byte
// by byte orders the names as comparing the names themselves would, at a fraction of the cost.
std::string SortKey(const std::wstring& name, std::string& room)
{
    const int length = static_cast<int>(name.size());
    // Made once into room that fits nearly every name; sized first only when it does not.
    const size_t likely = static_cast<size_t>(length) * 8 + 32;
    if (room.size() < likely)
        room.resize(likely);
    int size =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, name.c_str(), length,
                     reinterpret_cast<LPWSTR>(room.data()), static_cast<int>(room.size()));
    if (size <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, name.c_str(),
                            length, nullptr, 0);
        if (size <= 0)
            return {};
        room.resize(static_cast<size_t>(size));
        size = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, name.c_str(),
                            length, reinterpret_cast<LPWSTR>(room.data()), size);
    }
    // The key ends with a zero byte, which the comparison does not need.
    while (size > 0 && room[static_cast<size_t>(size) - 1] == '\0')
        --size;
    return size > 0 ? std::string(room.data(), static_cast<size_t>(size)) : std::string();
}

}  // namespace

bool OrderByName(IShellFolder* folder, const std::vector<TNameOrderEntry>& entries, int direction,
                 std::vector<size_t>& order)
{
    order.resize(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (folder == nullptr)
        return false;
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    std::string room;
    for (const TNameOrderEntry& entry : entries) {
        if (entry.IDList == nullptr || entry.Name.empty())
            return false;
        keys.push_back(SortKey(entry.Name, room));
        if (keys.back().empty())
            return false;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t first, size_t second) {
        if (entries[first].Folder != entries[second].Folder)
            return entries[first].Folder == (direction > 0);
        const int compare = keys[first].compare(keys[second]);
        return direction > 0 ? compare < 0 : compare > 0;
    });
    // Confirmed pair by pair by the folder's own comparison of names.
    std::vector<TBorrowedIDList> objects;
    objects.reserve(entries.size());
    for (const TNameOrderEntry& entry : entries)
        objects.push_back(entry.IDList);
    return FolderConfirmsOrder(folder, 0, objects, order, direction);
}
