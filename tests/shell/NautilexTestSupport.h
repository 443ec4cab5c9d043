#pragma once
// Helpers shared by the browser's tests.
#include "shell/ClipboardPaste.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/ShellUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using TNames = std::vector<std::wstring>;

inline std::unique_ptr<TNautilex> MakeBrowser()
{
    return std::make_unique<TNautilex>(nullptr);
}

// Names (or display names) of the objects one enumeration pass yields; names come sorted.
inline TNames EnumeratedNames(TNautilex& browser, bool displayNames = false)
{
    TNames names;
    for (int guard = 0; guard < 10000 && browser.NextObject(); ++guard)
        names.push_back(displayNames ? browser.DisplayName() : browser.GetObjectName());
    if (!displayNames)
        std::sort(names.begin(), names.end());
    return names;
}

inline bool Contains(const TNames& names, const std::wstring& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

inline std::wstring CaughtMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ENautilexError& error) {
        return error.Message();
    }
    return L"<no ENautilexError>";
}

// The files the clipboard offers, upper case; empty when it holds none.
inline TNames UpperClipboardFiles()
{
    TNames files;
    for (const std::wstring& name : ClipboardFiles())
        files.push_back(UpperCase(name));
    return files;
}
