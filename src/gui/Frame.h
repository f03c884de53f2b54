#pragma once
// A frame of some pixels' thickness drawn around an area, outside it.
#include <SDL.h>

// Draws the frame on target and returns the area it covers, the framed area
// included, clipped to target.
SDL_Rect DrawFrame(SDL_Surface* target, const SDL_Rect& framed, int thickness, SDL_Color colour);
