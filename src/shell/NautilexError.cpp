#include "shell/NautilexError.h"

#include "core/TextConversion.h"

std::wstring NoFolderMessage()
{
    return L"No valid folder is currently assigned";
}

std::wstring PathNotFoundMessage(const std::wstring& path)
{
    return SystemErrorMessage(ERROR_PATH_NOT_FOUND) + L"\r\n" + path;
}

std::wstring BindFailedMessage(HRESULT result)
{
    return L"Nautilex.SetFolderIDList: Desktop.BindToObject: Could not get IShellFolder "
           L"interface. (" +
           SystemErrorMessage(static_cast<DWORD>(result)) + L")";
}

std::wstring ObjectNotFoundMessage(const std::wstring& name, const std::wstring& folder)
{
    return L"Error! Cannot find Object \"" + name + L"\" in Folder \"" + folder + L"\"";
}
