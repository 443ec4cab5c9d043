#pragma once
// The sort-arrow bitmaps of the report header, for systems that draw it without visual styles.
#include "core/ScopedResource.h"

#include <string>

// The named bitmap resource of the program copied onto the header's background colour, its
// transparent colour (the bottom-left pixel) left out. When the program carries no such
// resource an arrow of the same look is drawn (pointing down with `down`). Null only when no
// bitmap can be made.
TScopedGdiObject LoadSortArrow(const std::wstring& resourceName, bool down);
