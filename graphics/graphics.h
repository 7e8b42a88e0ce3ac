// The flat graphics API: every function forwards to the current drawing device (the window
// or an off-screen IMAGE). Text is UTF-16 (char16_t) on every system; colours are COLORREF
// (0x00BBGGRR). The application reaches the screen and the input only through these calls.
#pragma once

#include <windows.h>

#include <string>

#include "graphics/input_message.h"

namespace Gfx {

struct IMAGE;
struct LINESTYLE;
struct FILLSTYLE;

// Window. flags: bit 0 show the console, bit 1 no close button, bit 2 no minimise button,
// bit 3 double clicks.
HWND openGraphWindow(int width, int height, int flags = 0);
void closeGraphWindow();
// Called on the window's thread when the user's close button or the session's end (log-off,
// shutdown) is about to end the process, so that the program can keep what it must first;
// null for none.
void setUserCloseHandler(void (*handler)());

// Drawing state.
void clearDevice();
COLORREF getLineColor();
void setLineColor(COLORREF colour);
COLORREF getTextColor();
void setTextColor(COLORREF colour);
COLORREF getBackgroundColor();
void setBackgroundColor(COLORREF colour);
int getBackgroundMode();
void setBackgroundMode(int mode);  // TRANSPARENT (1) or OPAQUE (2)
void setOrigin(int x, int y);
void setClipRegion(HRGN region);
void clearClipRegion();
// Clips the drawing to the rectangle from (left, top) to (right, bottom), right and bottom
// excluded, in device pixels; clearClipRegion lifts it.
void setClipRectangle(int left, int top, int right, int bottom);
// clearDevice for a part: the pixels of the rectangle (right and bottom excluded) take the
// background colour, as clearDevice's do, whatever the clip.
void clearDevicePart(int left, int top, int right, int bottom);
void getLineStyle(LINESTYLE* out);
void setLineStyle(int style, int thickness = 1, const DWORD* userPattern = nullptr, DWORD patternCount = 0);
void setLineStyle(const LINESTYLE* style);
void getFillStyle(FILLSTYLE* out);
void setFillStyle(int style, int hatch = 0, IMAGE* pattern = nullptr);
void setFillStyle(const BYTE* patternBytes);  // eight bytes, one per row of an 8 x 8 pattern
void setFillStyle(const FILLSTYLE* style);
COLORREF getFillColor();
void setFillColor(COLORREF colour);
void getAspectRatio(float* x, float* y);
void setAspectRatio(float x, float y);
int getRop2();
void setRop2(int mode);
int getPolyFillMode();
void setPolyFillMode(int mode);
void resetDefaults();

// Pixels, lines and shapes. Rectangles include their right and bottom edges.
COLORREF getPixel(int x, int y);
void putPixel(int x, int y, COLORREF colour);
void drawLine(int x1, int y1, int x2, int y2);
void drawRectangle(int left, int top, int right, int bottom);   // outline only
void fillRectangle(int left, int top, int right, int bottom);   // fill and outline
void solidRectangle(int left, int top, int right, int bottom);  // fill only
void clearRectangle(int left, int top, int right, int bottom);  // fill with the background colour
void drawCircle(int x, int y, int radius);
void fillCircle(int x, int y, int radius);
void solidCircle(int x, int y, int radius);
void clearCircle(int x, int y, int radius);
void drawEllipse(int left, int top, int right, int bottom);
void fillEllipse(int left, int top, int right, int bottom);
void solidEllipse(int left, int top, int right, int bottom);
void clearEllipse(int left, int top, int right, int bottom);
void drawRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void solidRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void clearRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
// Angles in radians, counter-clockwise from the positive x axis.
void drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle);
void drawPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
void fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
void solidPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
void clearPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
void drawPolyline(const POINT* points, int count);
void drawPolygon(const POINT* points, int count);
void fillPolygon(const POINT* points, int count);
void solidPolygon(const POINT* points, int count);
void clearPolygon(const POINT* points, int count);
void drawPolyBezier(const POINT* points, int count);
// fillType: FLOODFILLBORDER (0) or FLOODFILLSURFACE (1).
void floodFill(int x, int y, COLORREF colour, int fillType = 0);

// Text. The one-character forms pass the character in a zero-filled 16-character buffer.
void drawTextAt(int x, int y, const char16_t* text);
void drawTextAt(int x, int y, char16_t character);
int drawTextInRect(const char16_t* text, RECT* rect, UINT format);  // DrawTextW flags; returns the height
int drawTextInRect(char16_t character, RECT* rect, UINT format);
int getTextWidth(const char16_t* text);
int getTextWidth(char16_t character);
int getTextHeight(const char16_t* text);
int getTextHeight(char16_t character);
void setTextStyle(const LOGFONTW* font);
void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily);
void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut);
void setTextStyle(int height, int width, const char16_t* face);
void getTextStyle(LOGFONTW* out);
int getWidth();
int getHeight();

// Batch drawing: while a batch is on, the window shows the last copied frame.
void beginBatchDraw();
void flushBatchDraw();
void flushBatchDraw(int left, int top, int right, int bottom);
void endBatchDraw();
void endBatchDraw(int left, int top, int right, int bottom);
// Ends a batch that changed only the rectangle from (left, top) to (right, bottom), both
// included: only it is copied, and the window, which showed the rest already, is up to date.
// A change made before the batch and not yet copied is copied with it (the whole buffer goes).
void endChangedBatchDraw(int left, int top, int right, int bottom);
// The same for a batch that changed only these rectangles (right and bottom excluded).
void endChangedBatchDraw(const RECT* parts, int count);

// Working target and images.
void setWorkingImage(IMAGE* image = nullptr);  // none: the window
IMAGE* getWorkingImage();
HWND getWindowHandle();
DWORD* getImageBuffer(IMAGE* image = nullptr);
HDC getImageDC(IMAGE* image = nullptr);
void resizeImage(IMAGE* image, int width, int height);

// Picture files, through the system's image codecs. saveImage writes the image (none: the
// window's back buffer) as a PNG file; loadImage reads a picture file into the image, resized
// to the picture. Both answer false, with the image unchanged, when the file cannot be written
// or read, or when the layer is not running.
bool saveImage(const char16_t* path, IMAGE* image = nullptr);
// The PNG file saveImage would write, as bytes in memory, for the caller to write where and how
// it chooses. False, with bytes empty, when the image cannot be encoded or the layer is not
// running.
bool encodeImagePng(std::string& bytes, IMAGE* image = nullptr);
bool loadImage(IMAGE* image, const char16_t* path);

// Input queue (program's thread only).
bool peekInputMessage(InputMessage* message, BYTE filter = kInputAll, bool remove = true);
void getInputMessage(InputMessage* message, BYTE filter = kInputAll);
InputMessage getInputMessage(BYTE filter);
void flushInputMessages(BYTE filter = kInputAll);

void captureMouse();
void releaseMouse();

// Where the program's text caret is (window coordinates of its top, and its height), so that
// the system's input method opens its candidate window beside it; nothing is drawn.
// hideTextCaret: no text box takes typing.
void setTextCaret(int x, int y, int height);
void hideTextCaret();

}  // namespace Gfx
