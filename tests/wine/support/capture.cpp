#include "capture.h"

#include <wincodec.h>

namespace {

size_t strideOf(long width) { return (static_cast<size_t>(width) * 3 + 3) / 4 * 4; }

}  // namespace

Picture captureClient(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    Picture shot{client.right, client.bottom, std::string(strideOf(client.right) * client.bottom, '\0')};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, shot.width, -shot.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC screen = GetDC(window), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (!BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY) || !GdiFlush())
        shot = Picture{};
    else
        shot.rows.assign(static_cast<const char *>(bits), shot.rows.size());
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return shot;
}

Picture pictureOfDib(const BITMAPINFOHEADER *dib)
{
    Picture p{dib->biWidth, dib->biHeight, {}};
    const size_t stride = strideOf(p.width);
    const char *rows = reinterpret_cast<const char *>(dib) + dib->biSize;
    for (long y = p.height - 1; y >= 0 && dib->biBitCount == 24; --y)
        p.rows.append(rows + stride * y, stride);
    return p;
}

Picture decodePng(const std::wstring &path)
{
    Picture p;
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    IWICImagingFactory *factory = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICBitmapSource *rows = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void **>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, frame, &rows)) &&
        SUCCEEDED(rows->GetSize(&width, &height))) {
        p = Picture{static_cast<long>(width), static_cast<long>(height), std::string(strideOf(width) * height, '\0')};
        if (FAILED(rows->CopyPixels(nullptr, static_cast<UINT>(strideOf(width)), static_cast<UINT>(p.rows.size()),
                                    reinterpret_cast<BYTE *>(&p.rows[0]))))
            p = Picture{};
    }
    for (IUnknown *object : std::initializer_list<IUnknown *>{rows, frame, decoder, factory})
        if (object != nullptr)
            object->Release();
    if (com)
        CoUninitialize();
    return p;
}
