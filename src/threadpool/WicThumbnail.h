#pragma once
// Thumbnails decoded by the Windows Imaging Component, for image files the shell gives no
// thumbnail for (Wine's shell gives none at all; on Windows a file type whose thumbnail
// handler is missing or broken).
#include "core/ScopedResource.h"

#include <windows.h>

#include <string>

// A file WIC decodes with its own codecs, by its extension: PNG, JPEG, GIF, BMP, TIFF, ICO.
bool IsWicImageFile(const std::wstring& path);

// Keeps, for the calling thread and while it lives, what WicThumbnail would otherwise make
// anew for every image: the imaging factory and the decoders' class objects (making a factory
// and finding a decoder through the registry cost as much as decoding a small image, and under
// Wine every thread waits its turn at the registry). Declared by whoever holds the thread's
// COM initialisation, after it, so that it lets go before COM ends; not nested.
class TWicThreadCache {
public:
    TWicThreadCache();
    ~TWicThreadCache();
    TWicThreadCache(const TWicThreadCache&) = delete;
    TWicThreadCache& operator=(const TWicThreadCache&) = delete;

    struct TState;

private:
    TState* state_;
};

// The first frame of the image, scaled to fit `width` by `height` with its aspect kept (never
// enlarged), centred on `background`: an opaque 32-bit bitmap of exactly that size. Null when the
// file cannot be read or decoded. Initialises COM for the call when the thread has none.
TScopedGdiObject WicThumbnail(const std::wstring& path, int width, int height, COLORREF background);
