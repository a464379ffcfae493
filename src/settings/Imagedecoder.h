#pragma once
// Turns a complete image file held in memory (BMP, JPEG, PNG, GIF, TIFF,
// camera raw where the system has a codec, PCX) into a DIB section.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// A top-down 32-bit DIB section with premultiplied alpha (opaque images have
// alpha 255 everywhere), owned by the caller; or null, after a report to the
// debugger output. Never shows a message.
HBITMAP DecodeImage(const uint8_t* data, size_t length);

// The PCX decoder on its own: 1, 2, 4 and 8 bits per plane, up to four planes
// (16-colour planar, 256-colour palette, 24-bit RGB). Null when not a PCX
// image or damaged.
HBITMAP DecodePcx(const uint8_t* data, size_t length);
