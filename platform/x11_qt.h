#pragma once
// Qt's own X connection and raw image transfer between the X server and
// Format_RGB32 images, for the paths where Qt's copies would cost too much.
#include <xcb/xcb.h>

#include <QImage>
#include <QRect>
#include <optional>

namespace plat::x11 {

// Qt's connection, or nullptr when Qt does not run on X11.
xcb_connection_t* Connection();
// The first screen of the connection.
xcb_screen_t* Screen(xcb_connection_t* c);
// True when the server's images in the screen's depth are 32-bit
// little-endian 0x..RRGGBB pixels, which is Format_RGB32 byte for byte.
bool SharesRgb32Layout(xcb_connection_t* c, const xcb_screen_t* s);

// The rectangle of the screen in a new image, or a null image when the
// server cannot give it in the Format_RGB32 layout. The first form reads on a
// connection of its own to Qt's display.
QImage GrabScreen(const QRect& rect);
QImage GrabScreen(xcb_connection_t* c, const QRect& rect);

// Puts the part src of image (Format_RGB32) at dst of an X window, through
// Qt's connection so that it stays in order with Qt's own requests. The
// caller has checked SharesRgb32Layout.
void PutImage(xcb_window_t window, const QImage& image, const QRect& src, const QPoint& dst);
// True once large puts go through shared memory with the server.
bool SharedMemoryPuts();

// Remembers the device-pixel root position of the X mouse events from now
// on; PointerRootAt gives that of the event with this time stamp, if seen.
void TrackPointerPositions();
std::optional<QPoint> PointerRootAt(unsigned long time);

}  // namespace plat::x11
