#include "graph/graph_bitmap_win32.h"

bool fitGraphBitmap(GraphBitmap &bitmap, int32_t width, int32_t height)
{
    if (bitmap.bitmap != nullptr && bitmap.width == width && bitmap.height == height)
        return true;
    releaseGraphBitmap(bitmap);
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap.dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    bitmap.bitmap = bitmap.dc == nullptr ? nullptr
                                         : CreateDIBSection(bitmap.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap.bitmap == nullptr) {
        releaseGraphBitmap(bitmap);
        return false;
    }
    bitmap.original = SelectObject(bitmap.dc, bitmap.bitmap);
    SetBkMode(bitmap.dc, TRANSPARENT);
    bitmap.pixels = static_cast<const uint32_t *>(bits);
    bitmap.width = width;
    bitmap.height = height;
    bitmap.rendered = false;
    return true;
}

void releaseGraphBitmap(GraphBitmap &bitmap)
{
    if (bitmap.dc != nullptr && bitmap.original != nullptr)
        SelectObject(bitmap.dc, bitmap.original);
    if (bitmap.bitmap != nullptr)
        DeleteObject(bitmap.bitmap);
    if (bitmap.dc != nullptr)
        DeleteDC(bitmap.dc);
    bitmap = GraphBitmap{};
}
