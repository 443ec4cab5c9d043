#pragma once
// The bookmark file's contents: the bookmark list box in the component streaming format (a
// signature, the class and component names, then typed property values). The stored values
// are kept as the file has them, in design units, so that a file read and written back is the
// same file at any screen DPI. Reading checks every length against the bytes left and throws
// TFormatError for anything it cannot take whole.
#include "parse/ByteSpan.h"
#include "parse/FormatError.h"

#include <string>
#include <vector>

struct TBookmarkListState {
    int Left = 8;
    int Top = 40;
    int Width = 521;
    int Height = 153;
    std::string FontCharset = "DEFAULT_CHARSET";
    std::string FontColor = "clWindowText";
    int FontHeight = -12;
    std::string FontName = "Tahoma";
    std::vector<std::string> FontStyle;  // "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"
    int ItemHeight = 14;
    // The slot lines, narrow text in the system code page.
    std::vector<std::string> Lines;
    bool ParentFont = false;
    int TabOrder = 0;
};

// The lines of a list that has never been saved.
std::vector<std::string> InitialBookmarkLines();

std::string WriteBookmarkStream(const TBookmarkListState& state);
TBookmarkListState ParseBookmarkStream(TByteSpan bytes);
