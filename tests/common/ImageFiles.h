#pragma once
// Image files of known colours for thumbnail tests, written with the system's own encoders, and
// reading pixels back from bitmaps and image lists.
#include <windows.h>

#include <commctrl.h>

#include <string>

// A `width` by `height` file of one colour in the format of `container` (GUID_ContainerFormat...);
// false when the system has no such encoder or cannot write the file.
bool WriteSolidImage(const std::wstring& path, REFGUID container, UINT width, UINT height,
                     COLORREF colour);

// The colour of a pixel of a bitmap, or of image `index` of an image list; CLR_INVALID when
// it cannot be read.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
COLORREF ImageListPixel(HIMAGELIST images, int index, int x, int y);
// Each channel within `tolerance` (lossy formats move colours a little).
bool NearColour(COLORREF actual, COLORREF expected, int tolerance = 16);
