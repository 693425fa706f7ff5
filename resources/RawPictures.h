// The window's pictures at 1x as raw pixels in the program's own read-only data, drawn straight
// from there: "QZPX", the width, the height and a zero (32 bits each, little-endian), then the
// rows of premultiplied ARGB32 pixels in this machine's byte order.
#pragma once

namespace qz {

struct RawPicture {
    const char* name;  // as the PNG it stands for: "emblemSafari-200x107"
    const unsigned char* begin;
    const unsigned char* end;
};

extern const RawPicture kRawPictures[];
extern const int kRawPictureCount;

}  // namespace qz
