#pragma once
// Shell helpers above the ID-list layer: shortcut targets, dropped file names, auto-complete,
// the icon-title font and the explorer look of list and tree views.
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"

#include <objidl.h>

#include <memory>
#include <string>
#include <vector>

using TWideStringList = std::vector<std::wstring>;

// Target path of a shortcut file; empty when it cannot be read or does not fit MAX_PATH.
std::wstring ResolveLinkTarget(const std::wstring& path);

// File names carried by a data object as CF_HDROP; null for a null data object, an empty list
// when the object carries none.
std::unique_ptr<TWideStringList> GetFilenamesFromDataObject(IDataObject* dataObject);
// The names of a CF_HDROP block of `size` bytes; empty when the block is malformed.
TWideStringList FileNamesFromDropFiles(const void* block, size_t size);

// The absolute ID lists of the objects a data object carries as a shell ID-list array
// (CFSTR_SHELLIDLIST); empty when it carries none or the array is malformed.
std::vector<TOwnedIDList> GetIDListsFromDataObject(IDataObject* dataObject);
// The same from an array block of `size` bytes.
std::vector<TOwnedIDList> IDListsFromShellIDListArray(const void* block, size_t size);

bool EnableAutoComplete(HWND edit, bool fileSystem, bool urls);

// A new font with the system's icon-title look.
TScopedGdiObject IconTitleFont();

// The explorer look on Vista or later for a list view or tree view window; our own list and
// tree controls keep it for every window they make afterwards.
void ApplyExplorerTheme(HWND listOrTree);
