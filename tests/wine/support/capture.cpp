#include "capture.h"

#include <cstdlib>

Pixels captureClient(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    Pixels shot;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY)) {
            GdiFlush();
            shot.width = client.right;
            shot.height = client.bottom;
            const uint32_t *from = static_cast<const uint32_t *>(bits);
            for (size_t i = 0; i < static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height); ++i)
                shot.rgb.push_back(from[i] & 0xFFFFFFu);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return shot;
}

Pixels pixelsOfDib(const BITMAPINFOHEADER *dib)
{
    Pixels p;
    if (dib->biCompression != BI_RGB || (dib->biBitCount != 24 && dib->biBitCount != 32))
        return p;
    p.width = dib->biWidth;
    p.height = std::abs(dib->biHeight);
    const int bytes = dib->biBitCount / 8;
    const size_t stride = (static_cast<size_t>(p.width) * bytes + 3) / 4 * 4;
    const uint8_t *rows = reinterpret_cast<const uint8_t *>(dib) + dib->biSize;
    for (int y = 0; y < p.height; ++y) {
        const uint8_t *row = rows + stride * static_cast<size_t>(dib->biHeight > 0 ? p.height - 1 - y : y);
        for (int x = 0; x < p.width; ++x, row += bytes)
            p.rgb.push_back(row[0] | row[1] << 8 | static_cast<uint32_t>(row[2]) << 16);
    }
    return p;
}
