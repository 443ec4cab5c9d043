#pragma once
// The files a copy or cut put on the clipboard, and pasting them into a folder by a file
// operation, for shells that offer no paste on folder items (Wine's item menus have none) and
// whose cut leaves the files marked as copied (Wine's again).
#include "shell/ShellUtils.h"

#include <windows.h>

#include <string>

// The files on the clipboard (CF_HDROP); none when it holds no files.
TWideStringList ClipboardFiles();

// The drop effect the clipboard's files were put there for: DROPEFFECT_MOVE after a cut,
// otherwise DROPEFFECT_COPY (also when the clipboard says nothing).
DWORD ClipboardDropEffect();

// After a cut verb: puts the files on the clipboard as cut (CF_HDROP with a move effect) when
// the shell left them marked as copied, so that a paste moves them.
void MarkClipboardAsCut(const TWideStringList& files, HWND owner);

// Copies (or moves, when the clipboard prefers a move) the files into the folder; true when
// the operation ran and was not aborted. A move empties the clipboard afterwards: what it
// named is gone.
bool PasteFiles(const TWideStringList& files, const std::wstring& folder, HWND owner);
// The same for the files on the clipboard now.
bool PasteClipboardFiles(const std::wstring& folder, HWND owner);
