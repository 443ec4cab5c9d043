#pragma once
// Pasting the files a copy or cut put on the clipboard into a folder by a file operation, for
// shells that offer no paste on folder items (Wine's item menus have none).
#include <windows.h>

#include <string>

// Copies (or moves, when the clipboard prefers a move) the clipboard's files into the folder;
// true when the operation ran and was not aborted. A move empties the clipboard afterwards:
// what it named is gone.
bool PasteClipboardFiles(const std::wstring& folder, HWND owner);

// The drop effect the clipboard's files were put there for: DROPEFFECT_MOVE after a cut,
// otherwise DROPEFFECT_COPY (also when the clipboard says nothing).
DWORD ClipboardDropEffect();
