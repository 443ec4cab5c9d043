#pragma once
// The namespace browser's exception and the texts it raises.
#include "core/Exception.h"

#include <windows.h>

#include <string>

class ENautilexError : public Exception {
public:
    using Exception::Exception;
};

// "No valid folder is currently assigned": an operation needs a bound folder.
std::wstring NoFolderMessage();
// The system text for "path not found", a line break and the path.
std::wstring PathNotFoundMessage(const std::wstring& path);
// Binding a folder's ID list failed with `result`.
std::wstring BindFailedMessage(HRESULT result);
// No object of that name in the folder.
std::wstring ObjectNotFoundMessage(const std::wstring& name, const std::wstring& folder);
