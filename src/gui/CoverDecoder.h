#pragma once
// Covers decoded for the size they are shown at. A JPEG cover, by far the
// most common, is decoded at the smallest of the decoder's reduced scales
// (down to 1/8) that still fills the size, so a large scan costs a fraction
// of a full decode and of the scaling after it. Other images, and JPEGs the
// reduced decode refuses, are decoded whole by SDL_image.
#include <SDL.h>

#include "base/RString.h"

// The image at path, at least width x height where its own size allows and
// never larger than its own size; null when it cannot be decoded, and then
// IMG_GetError() tells why.
SDL_Surface* DecodeCover(const RString& path, int width, int height);
