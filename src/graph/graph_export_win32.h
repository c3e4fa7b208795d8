// The Graph window's picture out of the program: "Copy Picture" puts it on
// the clipboard, "Save Picture As..." writes it as a PNG file.  A failure is
// shown in a message box with its reason.
#pragma once
#include <windows.h>

#include "graph/graph_bitmap_win32.h"

// Posted to the Graph window when a PNG file has been written or has failed.
constexpr UINT WM_GRAPH_PICTURE_SAVED = WM_APP + 12;

// The bitmap's picture onto the clipboard as a device-independent bitmap.
void copyGraphPicture(HWND window, const GraphBitmap &bitmap);

// Takes the bitmap's picture, asks for a file name and encodes and writes the
// PNG on a worker thread, so that sampling goes on meanwhile.
void saveGraphPictureAs(HWND window, const GraphBitmap &bitmap);

// Waits for a save still running and shows its failure, if any; on the
// posted message and before the window goes.
void finishGraphPictureSave(HWND owner);
