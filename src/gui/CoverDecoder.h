#pragma once
// Covers decoded for the size they are shown at. A JPEG cover, by far the
// most common, is decoded at the smallest of the decoder's reduced scales
// (down to 1/8) that still fills the size, so a large scan costs a fraction
// of a full decode and of the scaling after it. PNG and BMP images, and
// JPEGs the reduced decode refuses, are decoded whole by SDL_image.
//
// Covers come from folders others write, so a file is read only when it is
// a regular file of at most kLargestImageFile bytes, and decoded only when
// the size its header declares is within kImagePixelBudget: a small file
// can declare a picture of gigabytes, which would take as long to decode.
// A sequential JPEG may declare the whole budget, PNG and BMP half of it
// (they are decoded whole), a progressive JPEG a quarter. Other formats,
// GIF among them (SDL_image's decoder falls over on hostile files), are not
// decoded.
#include <SDL.h>

#include <cstddef>
#include <cstdint>

#include "base/RString.h"

// Beyond any cover scan; what is read whole before the header is looked at.
constexpr size_t kLargestImageFile = 32u << 20;
// 4096 x 4096 sequential JPEG pixels, which takes in the scans of 4000 x
// 4000 owners put in their albums: decoded and scaled down on the cover
// loader's worker, off the screen's way, in well under a second and 70 MB
// on a busy cabinet, so that the worker soon gets to the next cover.
constexpr uint64_t kImagePixelBudget = uint64_t{4096} * 4096;

// The image at path, at least width x height where its own size allows and
// never larger than its own size; null when it cannot be read or decoded or
// declares too many pixels, and then IMG_GetError() tells why.
SDL_Surface* DecodeCover(const RString& path, int width, int height);
// The image at path at its own size, on the same terms.
SDL_Surface* DecodeImage(const RString& path);
