// The window's pictures at the sizes it shows them, drawn at build time and kept in the program's
// own read-only data. At 1x they are raw pixels, drawn straight from there: "QZPX", the width,
// the height and a zero (32 bits each, little-endian), then the rows of premultiplied ARGB32
// pixels in this machine's byte order. The others (2x, the tray's) are PNG.
#pragma once

namespace qz {

struct WindowPicture {
    const char* name;  // the drawing and the box it was fitted into: "emblemSafari-200x107"
    const unsigned char* begin;
    const unsigned char* end;
};

extern const WindowPicture kWindowPictures[];
extern const int kWindowPictureCount;

}  // namespace qz
