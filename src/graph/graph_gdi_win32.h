// GDI objects of the Graph window and the replay of a computed picture on a
// device context.
#pragma once
#include <windows.h>

#include "graph/graph_picture.h"

struct GraphGdi {
    HPEN pens[graphPenCount];  // channel pens, axis, trigger and grid pen
    HFONT smallFont;           // the grey grid labels
};

// Deletes any objects held, then creates all of them afresh.
void createGraphGdi(GraphGdi &gdi);
void releaseGraphGdi(GraphGdi &gdi);

// MeasureText over a device context (the context is the HDC): the extent of
// the code-page-932 text in the font currently selected, as drawn.
TextExtent measureTextCp932(void *dc, const char *text, int32_t length);

// Draws the picture; the context's pen, font, text colour and origin are
// restored.
void drawGraphPicture(HDC dc, const GraphPicture &picture, const GraphGdi &gdi);
