#pragma once
// Helpers shared by the browser's tests.
#include "shell/Nautilex.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

inline std::unique_ptr<TNautilex> MakeBrowser()
{
    return std::make_unique<TNautilex>(nullptr);
}

// The names one enumeration pass yields, sorted.
inline std::vector<std::wstring> EnumeratedNames(TNautilex& browser)
{
    std::vector<std::wstring> names;
    for (int guard = 0; guard < 10000 && browser.NextObject(); ++guard)
        names.push_back(browser.GetObjectName());
    std::sort(names.begin(), names.end());
    return names;
}

// The special folders among the objects one enumeration pass yields.
inline std::vector<TZelShellFolder> EnumeratedSpecialFolders(TNautilex& browser)
{
    std::vector<TZelShellFolder> folders;
    for (int guard = 0; guard < 10000 && browser.NextObject(); ++guard)
        folders.push_back(browser.ObjectSpecialFolder());
    return folders;
}

// The display names of the objects one enumeration pass yields, in the folder's order.
inline std::vector<std::wstring> EnumeratedDisplayNames(TNautilex& browser)
{
    std::vector<std::wstring> names;
    for (int guard = 0; guard < 10000 && browser.NextObject(); ++guard)
        names.push_back(browser.DisplayName());
    return names;
}

template <class T>
bool Contains(const std::vector<T>& items, const T& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}
