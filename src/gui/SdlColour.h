#pragma once
// The settings' colours as SDL takes them.
#include <SDL.h>

#include "config/Configuration.h"

inline SDL_Color ToSdl(const Colour& colour) { return SDL_Color{colour.r, colour.g, colour.b, 0}; }
