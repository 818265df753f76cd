// The picture the program shows: a drink can in front of a sunburst, drawn
// procedurally and stored as an 8-bit palettised bitmap.
#pragma once

#include "bmp/bmp_writer.h"

namespace zv::canpic {

constexpr int kCanPictureSize = 256;

// True colour rendering, 0x00RRGGBB per pixel, anti-aliased by supersampling.
bmp::BmpPicture DrawCanPicture();

// The picture reduced to a palette of at most `colours` entries.
bmp::BmpPicture Palettise(const bmp::BmpPicture& trueColour, int colours);

// The bytes of "Can1.bmp": 256 colours, version 3 info header, bottom-up rows.
std::vector<uint8_t> CanBitmapFile();

} // namespace zv::canpic
