#include "graph/graph_gdi_win32.h"

#include "app/cp932_win32.h"

namespace {

constexpr int kMaxWide = 512;
constexpr int kMaxPolyline = 128;
constexpr int kSmallFontHeight = 15;
constexpr int kSmallFontWidth = 5;

HPEN solidPen(int width, uint32_t colour)
{
    return CreatePen(PS_SOLID, width, static_cast<COLORREF>(colour));
}

void deleteObject(HGDIOBJ &object)
{
    if (object != nullptr)
        DeleteObject(object);
    object = nullptr;
}

// Replays the list, selecting a pen or font only when it changes.
struct Replay {
    HDC dc;
    const GraphGdi &gdi;
    int pen = -1;
    GraphFont font = GraphFont::standard;
    COLORREF colour = CLR_INVALID;
    HGDIOBJ originalPen = nullptr;
    HGDIOBJ originalFont = nullptr;

    void usePen(uint8_t id)
    {
        if (pen == id || id >= graphPenCount || gdi.pens[id] == nullptr)
            return;
        HGDIOBJ previous = SelectObject(dc, gdi.pens[id]);
        if (originalPen == nullptr)
            originalPen = previous;
        pen = id;
    }

    void useFont(GraphFont wanted)
    {
        if (font == wanted)
            return;
        HGDIOBJ next = wanted == GraphFont::smallGrid ? static_cast<HGDIOBJ>(gdi.smallFont) : originalFont;
        if (next == nullptr)
            return;
        HGDIOBJ previous = SelectObject(dc, next);
        if (originalFont == nullptr)
            originalFont = previous;
        font = wanted;
    }

    void useColour(uint32_t wanted)
    {
        if (colour == wanted)
            return;
        SetTextColor(dc, static_cast<COLORREF>(wanted));
        colour = static_cast<COLORREF>(wanted);
    }

    // Consecutive lines of one pen go to GDI as one polyline, which draws
    // the same pixels as a LineTo for each (every end pixel left out) in a
    // hundredth of the calls.
    POINT points[kMaxPolyline] = {};
    int pointCount = 0;
    uint8_t linePen = 0;

    void drawLines()
    {
        if (pointCount >= 2) {
            usePen(linePen);
            Polyline(dc, points, pointCount);
            points[0] = points[pointCount - 1];
        }
        pointCount = pointCount > 0 ? 1 : 0;
    }

    void moveTo(int32_t x, int32_t y)
    {
        drawLines();
        points[0] = POINT{x, y};
        pointCount = 1;
    }

    void lineTo(uint8_t id, int32_t x, int32_t y)
    {
        if (pointCount == kMaxPolyline || (pointCount > 1 && id != linePen))
            drawLines();
        if (pointCount == 0)
            points[pointCount++] = POINT{0, 0};  // a line without a start begins at the origin
        linePen = id;
        points[pointCount++] = POINT{x, y};
    }

    void run(const GraphPicture &picture)
    {
        const COLORREF originalColour = GetTextColor(dc);
        POINT originalOrigin{0, 0};
        GetViewportOrgEx(dc, &originalOrigin);
        for (const GraphOp &op : picture.ops) {
            switch (op.kind) {
            case GraphOpKind::setOrigin:
                drawLines();
                SetViewportOrgEx(dc, op.x, op.y, nullptr);
                break;
            case GraphOpKind::moveTo:
                moveTo(op.x, op.y);
                break;
            case GraphOpKind::lineTo:
                lineTo(op.pen, op.x, op.y);
                break;
            case GraphOpKind::text:
                drawLines();
                useFont(op.font);
                useColour(op.colour);
                textOutCp932(dc, op.x, op.y, picture.textOf(op), static_cast<int>(op.textLength));
                break;
            }
        }
        drawLines();
        if (originalPen != nullptr)
            SelectObject(dc, originalPen);
        if (originalFont != nullptr)
            SelectObject(dc, originalFont);
        SetTextColor(dc, originalColour);
        SetViewportOrgEx(dc, originalOrigin.x, originalOrigin.y, nullptr);
    }
};

}  // namespace

// The grid's grey pen and small font are made here once, like the trace
// pens, rather than for every grid line of every paint: the picture is the
// same and a paint then creates no GDI objects.
void createGraphGdi(GraphGdi &gdi)
{
    releaseGraphGdi(gdi);
    for (int ch = 0; ch < kChannelCount; ++ch)
        gdi.pens[ch] = solidPen(0, channelColour[ch]);
    gdi.pens[penAxis] = solidPen(1, axisColour);
    gdi.pens[penTrigger] = solidPen(0, triggerColour);
    gdi.pens[penGrid] = solidPen(0, gridColour);
    gdi.smallFont = CreateFontA(kSmallFontHeight, kSmallFontWidth, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                                ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, nullptr);
}

void releaseGraphGdi(GraphGdi &gdi)
{
    for (HPEN &pen : gdi.pens) {
        HGDIOBJ object = pen;
        deleteObject(object);
        pen = nullptr;
    }
    HGDIOBJ font = gdi.smallFont;
    deleteObject(font);
    gdi.smallFont = nullptr;
}

TextExtent measureTextCp932(void *dc, const char *text, int32_t length)
{
    wchar_t wide[kMaxWide];
    int count = MultiByteToWideChar(932, 0, text, length, wide, kMaxWide);
    if (count < 0)
        count = 0;
    SIZE size{0, 0};
    if (!GetTextExtentPoint32W(static_cast<HDC>(dc), wide, count, &size))
        return TextExtent{0, 0};
    return TextExtent{static_cast<int32_t>(size.cx), static_cast<int32_t>(size.cy)};
}

void drawGraphPicture(HDC dc, const GraphPicture &picture, const GraphGdi &gdi)
{
    Replay replay{dc, gdi};
    replay.run(picture);
}
