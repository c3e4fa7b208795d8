#include "graph/graph_export_win32.h"

#include <shobjidl.h>
#include <wincodec.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/system_message_win32.h"
#include "graph/picture_out.h"

namespace {

// One "Save Picture As...": the picture taken when it was chosen, then the
// file.  Owned by its worker thread.
struct PictureSave {
    HWND window;
    std::vector<uint8_t> rows;  // 24-bit rows, top row first
    int32_t width;
    int32_t height;
    std::wstring path;
};

// The system's text and the code itself: imaging errors are HRESULTs the
// system may have no text for.
std::wstring reasonOf(DWORD error)
{
    wchar_t code[32];
    std::swprintf(code, 32, L"(error 0x%08lX)", static_cast<unsigned long>(error));
    return systemMessage(error) + code;
}

void showFailure(HWND owner, const std::wstring &what, const wchar_t *step, DWORD error)
{
    const std::wstring text = what + L"\n" + step + L": " + reasonOf(error);
    MessageBoxW(owner, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

bool takeRows(const GraphBitmap &bitmap, bool bottomUp, uint8_t *out)
{
    if (bitmap.pixels == nullptr || !bitmap.rendered)
        return false;
    GdiFlush();  // the bitmap's pixels are read directly
    packBgrRows(bitmap.pixels, bitmap.width, bitmap.height, bottomUp, out);
    return true;
}

template <class T> void release(T *&object)
{
    if (object != nullptr)
        object->Release();
    object = nullptr;
}

// Encodes the rows as PNG into `memory`; the step that failed, or null.
const wchar_t *encodePng(const PictureSave &job, IWICImagingFactory *factory, IStream *memory, HRESULT &result)
{
    IWICBitmapEncoder *encoder = nullptr;
    IWICBitmapFrameEncode *frame = nullptr;
    const UINT stride = static_cast<UINT>(bgrRowStride(job.width));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const wchar_t *step = L"PNG encoder";
    result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(result))
        result = encoder->Initialize(memory, WICBitmapEncoderNoCache);
    if (SUCCEEDED(result))
        result = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(result))
        result = frame->Initialize(nullptr);
    if (SUCCEEDED(result))
        result = frame->SetSize(static_cast<UINT>(job.width), static_cast<UINT>(job.height));
    if (SUCCEEDED(result))
        result = frame->SetPixelFormat(&format);
    if (SUCCEEDED(result) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(result)) {
        step = L"PNG encoding";
        result = frame->WritePixels(static_cast<UINT>(job.height), stride, static_cast<UINT>(job.rows.size()),
                                    const_cast<BYTE *>(job.rows.data()));
    }
    if (SUCCEEDED(result))
        result = frame->Commit();
    if (SUCCEEDED(result))
        result = encoder->Commit();
    release(frame);
    release(encoder);
    return SUCCEEDED(result) ? nullptr : step;
}

// Writes the encoded bytes; a file left incomplete is removed.
DWORD writeFile(const std::wstring &path, IStream *memory)
{
    HGLOBAL global = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(memory, &global)) || FAILED(memory->Stat(&stat, STATFLAG_NONAME)))
        return ERROR_NOT_ENOUGH_MEMORY;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    const DWORD size = static_cast<DWORD>(stat.cbSize.QuadPart);
    DWORD written = 0;
    const void *bytes = GlobalLock(global);
    BOOL ok = bytes != nullptr && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    if (bytes != nullptr)
        GlobalUnlock(global);
    if (!CloseHandle(file) && ok) {
        ok = FALSE;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileW(path.c_str());
        if (error == ERROR_SUCCESS)
            error = ERROR_WRITE_FAULT;
    }
    return error;
}

// The save dialog, starting with the default name in the current folder.
// It is the shell's item dialog: the older file dialog moves the process's
// current folder while the operator browses, and the CSV and settings files
// would then be opened there.  False when cancelled or failed (reported).
bool askFileName(HWND window, std::wstring &path)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[kPictureFileNameSize];
    formatPictureFileName(name, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    wchar_t here[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, here);
    static const COMDLG_FILTERSPEC kPng = {L"PNG picture (*.png)", L"*.png"};

    IFileSaveDialog *dialog = nullptr;
    IShellItem *folder = nullptr;
    IShellItem *chosen = nullptr;
    DWORD options = 0;
    HRESULT result = CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                      reinterpret_cast<void **>(&dialog));
    if (SUCCEEDED(result))
        result = dialog->GetOptions(&options);
    if (SUCCEEDED(result))
        result = dialog->SetOptions(options | FOS_NOCHANGEDIR | FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST |
                                    FOS_FORCEFILESYSTEM);
    if (SUCCEEDED(result))
        result = dialog->SetFileTypes(1, &kPng);
    if (SUCCEEDED(result))
        result = dialog->SetDefaultExtension(L"png");
    if (SUCCEEDED(result))
        result = dialog->SetFileName(name);
    if (SUCCEEDED(result) && SUCCEEDED(SHCreateItemFromParsingName(here, nullptr, IID_IShellItem,
                                                                   reinterpret_cast<void **>(&folder))))
        dialog->SetFolder(folder);
    if (SUCCEEDED(result))
        result = dialog->Show(window);
    if (SUCCEEDED(result))
        result = dialog->GetResult(&chosen);
    wchar_t *file = nullptr;
    if (SUCCEEDED(result))
        result = chosen->GetDisplayName(SIGDN_FILESYSPATH, &file);
    if (SUCCEEDED(result))
        path = file;
    CoTaskMemFree(file);
    release(chosen);
    release(folder);
    release(dialog);
    if (FAILED(result) && result != HRESULT_FROM_WIN32(ERROR_CANCELLED))
        showFailure(window, L"The picture could not be saved.", L"The save dialog", static_cast<DWORD>(result));
    return SUCCEEDED(result);
}

// Encodes and writes the file; the failure shown, if any.
void writePicture(const PictureSave &job)
{
    IWICImagingFactory *factory = nullptr;
    IStream *memory = nullptr;
    const wchar_t *failedStep = L"Windows Imaging Component";
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void **>(&factory));
    if (SUCCEEDED(result))
        result = CreateStreamOnHGlobal(nullptr, TRUE, &memory);
    if (SUCCEEDED(result))
        failedStep = encodePng(job, factory, memory, result);
    DWORD error = static_cast<DWORD>(result);
    if (failedStep == nullptr) {
        error = writeFile(job.path, memory);
        if (error != ERROR_SUCCESS)
            failedStep = L"Writing the file";
    }
    release(memory);
    release(factory);
    if (failedStep != nullptr)
        showFailure(IsWindow(job.window) ? job.window : nullptr, L"The picture could not be saved as\n" + job.path,
                    failedStep, error);
}

// The save dialog and everything after it run on this thread, so that
// the window's thread goes on sampling and painting meanwhile, however long
// the dialog takes to open or the operator to choose.  Should the window
// close first, the dialog stays, without owner, and the save completes.
DWORD WINAPI savePictureThread(void *parameter)
{
    PictureSave *job = static_cast<PictureSave *>(parameter);
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (askFileName(job->window, job->path))
        writePicture(*job);
    if (initialised)
        CoUninitialize();
    delete job;
    return 0;
}

}  // namespace

void copyGraphPicture(HWND window, const GraphBitmap &bitmap)
{
    const size_t size = sizeof(BITMAPINFOHEADER) + bgrRowStride(bitmap.width) * static_cast<size_t>(bitmap.height);
    HGLOBAL global = bitmap.rendered ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    BITMAPINFOHEADER *header = global == nullptr ? nullptr : static_cast<BITMAPINFOHEADER *>(GlobalLock(global));
    if (header == nullptr) {
        if (global != nullptr)
            GlobalFree(global);
        showFailure(window, L"The picture could not be copied.", L"The picture", ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof *header;
    header->biWidth = bitmap.width;
    header->biHeight = bitmap.height;  // bottom row first
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(size - sizeof *header);
    takeRows(bitmap, true, reinterpret_cast<uint8_t *>(header + 1));
    GlobalUnlock(global);

    if (!OpenClipboard(window)) {
        const DWORD error = GetLastError();
        GlobalFree(global);
        showFailure(window, L"The picture could not be copied.", L"The clipboard", error);
        return;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_DIB, global) != nullptr;
    const DWORD error = GetLastError();
    CloseClipboard();
    if (!placed) {
        GlobalFree(global);
        showFailure(window, L"The picture could not be copied.", L"The clipboard", error);
    }
}

void saveGraphPictureAs(HWND window, const GraphBitmap &bitmap)
{
    PictureSave *job = new PictureSave{window, {}, bitmap.width, bitmap.height, {}};
    job->rows.resize(bgrRowStride(bitmap.width) * static_cast<size_t>(bitmap.height));
    if (!takeRows(bitmap, false, job->rows.data())) {
        delete job;
        showFailure(window, L"The picture could not be saved.", L"The picture", ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    HANDLE thread = CreateThread(nullptr, 0, savePictureThread, job, 0, nullptr);
    if (thread == nullptr) {
        const DWORD error = GetLastError();
        delete job;
        showFailure(window, L"The picture could not be saved.", L"Starting the save", error);
        return;
    }
    CloseHandle(thread);
}
