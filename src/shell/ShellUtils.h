#pragma once
// Shell helpers above the ID-list layer: shortcut targets, dropped file names, auto-complete,
// the main window, the icon-title font and the explorer look of list and tree views.
#include "core/ScopedResource.h"

#include <objidl.h>

#include <memory>
#include <string>
#include <vector>

using TWideStringList = std::vector<std::wstring>;

// Target path of a shortcut file; empty when it cannot be read or does not fit MAX_PATH.
std::wstring ResolveLinkTarget(const std::wstring& path);

// The file names of a CF_HDROP block (a DROPFILES header and its names) of `size` bytes; a
// name cut off by the end of the block is left out.
TWideStringList FileNamesFromDropBlock(const void* block, size_t size);

// File names carried by a data object as CF_HDROP; null for a null data object, an empty list
// when the object carries none.
std::unique_ptr<TWideStringList> GetFilenamesFromDataObject(IDataObject* dataObject);

bool EnableAutoComplete(HWND edit, bool fileSystem, bool urls);

// The main form's window, else the application window; null without an application object.
HWND MainWindowHandle();

// A new font with the system's icon-title look.
TScopedGdiObject IconTitleFont();

// The explorer look on Vista or later for a list view or tree view window; our own list and
// tree controls keep it for every window they make afterwards.
void ApplyExplorerTheme(HWND listOrTree);
