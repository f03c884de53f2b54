#pragma once
// Key bindings: the 38 roles a cabinet button can play, each bound to an SDL
// 1.2 key code, and the key names by which the settings files write codes.
#include <array>
#include <cstdint>

#include "base/RString.h"

// One row of the key-name table: an SDL key code and its written name.
struct KEYITEM {
  int32_t key;
  RString name;
};

constexpr int kSdlKeyCount = 136;

// Every SDLKey from SDLK_FIRST to SDLK_UNDO except the international keys,
// ascending by code, named as the SDL identifier without "SDLK_", lower-cased
// and without underscores ("kpperiod", "pageup", "0"). Built on first use.
const std::array<KEYITEM, kSdlKeyCount>& sdlkeys();

class MapKeys {
 public:
  // "0x" plus hexadecimal digits, or a key name of sdlkeys() (exact, case
  // sensitive); anything else, "0xZZ" included, gives 0.
  static int32_t ConvertStringToLongKey(const RString& text);

  // Which settings file may set a binding.
  enum class Source { Configuration, KeyMapFile };
  // The binding called name, or nullptr when source cannot set it.
  int32_t* FindBinding(const RString& name, Source source);

  // The key bound to coin input 1..6.
  int32_t CoinKey(int input) const;
  // The coin input 1..6 bound to key; 0 when none is.
  int CoinInput(int key) const;

  int32_t up = 273;
  int32_t down = 274;
  int32_t left = 276;
  int32_t right = 275;
  int32_t enter = 13;
  int32_t cancel = 27;
  int32_t menu = 103;
  int32_t n0 = 256, n1 = 257, n2 = 258, n3 = 259, n4 = 260;
  int32_t n5 = 261, n6 = 262, n7 = 263, n8 = 264, n9 = 265;
  int32_t upvol = 98;
  int32_t downvol = 115;
  int32_t cancelsong = 114;
  int32_t wifi = 100;
  int32_t discover = 0;
  int32_t configmenu = 0;
  int32_t pause = 112;
  int32_t coin1 = 120, coin2 = 99, coin3 = 0, coin4 = 0, coin5 = 0, coin6 = 0;
  int32_t abc = 0;
  int32_t abcprev = 0;
  int32_t abcnext = 0;
  int32_t upvol2 = 0;
  int32_t downvol2 = 0;
  int32_t cancelsong2 = 0;
  int32_t exit = 0;
  int32_t apagar = 0;
};
