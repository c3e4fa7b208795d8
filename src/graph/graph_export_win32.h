// The Graph window's picture out of the program: "Copy Picture" puts it on
// the clipboard, "Save Picture As..." writes it as a PNG file.  A failure is
// shown in a message box with its reason.
#pragma once
#include <windows.h>

#include "graph/graph_bitmap_win32.h"

// The bitmap's picture onto the clipboard as a device-independent bitmap.
void copyGraphPicture(HWND window, const GraphBitmap &bitmap);

// Takes the bitmap's picture, then asks for a file name and encodes and
// writes the PNG on a thread of its own, so that sampling goes on meanwhile.
void saveGraphPictureAs(HWND window, const GraphBitmap &bitmap);
