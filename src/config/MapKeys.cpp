#include "config/MapKeys.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

// The SDL 1.2 key codes from SDLK_FIRST to SDLK_UNDO with their identifiers
// without the "SDLK_" prefix, ascending by code; the international keys
// SDLK_WORLD_0..95 (160..255) are left out. Written out here so that the
// settings need no SDL; the GUI's tests hold the table against SDL's own.
struct SdlKeyId {
  int32_t key;
  const char* identifier;
};

constexpr SdlKeyId kSdlKeyIds[] = {
    {0, "FIRST"}, {8, "BACKSPACE"}, {9, "TAB"}, {12, "CLEAR"}, {13, "RETURN"}, {19, "PAUSE"},
    {27, "ESCAPE"}, {32, "SPACE"}, {33, "EXCLAIM"}, {34, "QUOTEDBL"}, {35, "HASH"}, {36, "DOLLAR"},
    {38, "AMPERSAND"}, {39, "QUOTE"}, {40, "LEFTPAREN"}, {41, "RIGHTPAREN"}, {42, "ASTERISK"}, {43, "PLUS"},
    {44, "COMMA"}, {45, "MINUS"}, {46, "PERIOD"}, {47, "SLASH"}, {48, "0"}, {49, "1"},
    {50, "2"}, {51, "3"}, {52, "4"}, {53, "5"}, {54, "6"}, {55, "7"},
    {56, "8"}, {57, "9"}, {58, "COLON"}, {59, "SEMICOLON"}, {60, "LESS"}, {61, "EQUALS"},
    {62, "GREATER"}, {63, "QUESTION"}, {64, "AT"}, {91, "LEFTBRACKET"}, {92, "BACKSLASH"}, {93, "RIGHTBRACKET"},
    {94, "CARET"}, {95, "UNDERSCORE"}, {96, "BACKQUOTE"}, {97, "a"}, {98, "b"}, {99, "c"},
    {100, "d"}, {101, "e"}, {102, "f"}, {103, "g"}, {104, "h"}, {105, "i"},
    {106, "j"}, {107, "k"}, {108, "l"}, {109, "m"}, {110, "n"}, {111, "o"},
    {112, "p"}, {113, "q"}, {114, "r"}, {115, "s"}, {116, "t"}, {117, "u"},
    {118, "v"}, {119, "w"}, {120, "x"}, {121, "y"}, {122, "z"}, {127, "DELETE"},
    {256, "KP0"}, {257, "KP1"}, {258, "KP2"}, {259, "KP3"}, {260, "KP4"}, {261, "KP5"},
    {262, "KP6"}, {263, "KP7"}, {264, "KP8"}, {265, "KP9"}, {266, "KP_PERIOD"}, {267, "KP_DIVIDE"},
    {268, "KP_MULTIPLY"}, {269, "KP_MINUS"}, {270, "KP_PLUS"}, {271, "KP_ENTER"}, {272, "KP_EQUALS"}, {273, "UP"},
    {274, "DOWN"}, {275, "RIGHT"}, {276, "LEFT"}, {277, "INSERT"}, {278, "HOME"}, {279, "END"},
    {280, "PAGEUP"}, {281, "PAGEDOWN"}, {282, "F1"}, {283, "F2"}, {284, "F3"}, {285, "F4"},
    {286, "F5"}, {287, "F6"}, {288, "F7"}, {289, "F8"}, {290, "F9"}, {291, "F10"},
    {292, "F11"}, {293, "F12"}, {294, "F13"}, {295, "F14"}, {296, "F15"}, {300, "NUMLOCK"},
    {301, "CAPSLOCK"}, {302, "SCROLLOCK"}, {303, "RSHIFT"}, {304, "LSHIFT"}, {305, "RCTRL"}, {306, "LCTRL"},
    {307, "RALT"}, {308, "LALT"}, {309, "RMETA"}, {310, "LMETA"}, {311, "LSUPER"}, {312, "RSUPER"},
    {313, "MODE"}, {314, "COMPOSE"}, {315, "HELP"}, {316, "PRINT"}, {317, "SYSREQ"}, {318, "BREAK"},
    {319, "MENU"}, {320, "POWER"}, {321, "EURO"}, {322, "UNDO"},
};

constexpr bool AscendingWithoutWorldKeys() {
  for (const SdlKeyId& id : kSdlKeyIds) {
    if (id.key >= 160 && id.key <= 255) return false;
  }
  for (size_t i = 1; i < std::size(kSdlKeyIds); ++i) {
    if (kSdlKeyIds[i - 1].key >= kSdlKeyIds[i].key) return false;
  }
  return true;
}

static_assert(std::size(kSdlKeyIds) == kSdlKeyCount);
static_assert(AscendingWithoutWorldKeys());

// "KP_PERIOD" -> "kpperiod".
RString KeyNameOf(const char* identifier) {
  std::string name;
  for (const char* ch = identifier; *ch; ++ch) {
    if (*ch != '_') name += static_cast<char>(std::tolower(static_cast<unsigned char>(*ch)));
  }
  return name.c_str();
}

struct Binding {
  const char* name;
  int32_t MapKeys::*field;
  bool inKeyMapFile;
};

// Every binding, in the order "configuration" tests them; the key-map file
// may set the marked ones.
const Binding kBindings[] = {
    {"up", &MapKeys::up, true},
    {"down", &MapKeys::down, true},
    {"left", &MapKeys::left, true},
    {"right", &MapKeys::right, true},
    {"enter", &MapKeys::enter, true},
    {"menu", &MapKeys::menu, true},
    {"cancel", &MapKeys::cancel, true},
    {"n0", &MapKeys::n0, true},
    {"n1", &MapKeys::n1, true},
    {"n2", &MapKeys::n2, true},
    {"n3", &MapKeys::n3, true},
    {"n4", &MapKeys::n4, true},
    {"n5", &MapKeys::n5, true},
    {"n6", &MapKeys::n6, true},
    {"n7", &MapKeys::n7, true},
    {"n8", &MapKeys::n8, true},
    {"n9", &MapKeys::n9, true},
    {"upvol", &MapKeys::upvol, true},
    {"downvol", &MapKeys::downvol, true},
    {"cancelsong", &MapKeys::cancelsong, true},
    {"upvol2", &MapKeys::upvol2, false},
    {"downvol2", &MapKeys::downvol2, false},
    {"cancelsong2", &MapKeys::cancelsong2, false},
    {"wifi", &MapKeys::wifi, true},
    {"discover", &MapKeys::discover, false},
    {"configmenu", &MapKeys::configmenu, false},
    {"pause", &MapKeys::pause, true},
    {"coin1", &MapKeys::coin1, true},
    {"coin2", &MapKeys::coin2, true},
    {"coin3", &MapKeys::coin3, false},
    {"coin4", &MapKeys::coin4, false},
    {"coin5", &MapKeys::coin5, false},
    {"coin6", &MapKeys::coin6, false},
    {"abc", &MapKeys::abc, false},
    {"abcprev", &MapKeys::abcprev, false},
    {"abcnext", &MapKeys::abcnext, false},
    {"exit", &MapKeys::exit, false},
    {"apagar", &MapKeys::apagar, false},
};
static_assert(std::size(kBindings) == 38);

bool StartsWithHexPrefix(const char* text) { return text[0] == '0' && text[1] == 'x'; }

// The digits after "0x" read as the runtime's hexadecimal scan reads them;
// 0 when there is none.
int32_t HexadecimalAfterPrefix(const char* text) {
  const char* digits = text + 2;
  char* end = nullptr;
  const unsigned long value = std::strtoul(digits, &end, 16);
  return end == digits ? 0 : static_cast<int32_t>(value);
}

}  // namespace

const std::array<KEYITEM, kSdlKeyCount>& sdlkeys() {
  static const std::array<KEYITEM, kSdlKeyCount> table = [] {
    std::array<KEYITEM, kSdlKeyCount> rows;
    for (int i = 0; i < kSdlKeyCount; ++i)
      rows[i] = KEYITEM{kSdlKeyIds[i].key, KeyNameOf(kSdlKeyIds[i].identifier)};
    return rows;
  }();
  return table;
}

int32_t MapKeys::ConvertStringToLongKey(const RString& text) {
  if (!text.c_str()) return 0;
  if (StartsWithHexPrefix(text.c_str())) return HexadecimalAfterPrefix(text.c_str());
  for (const KEYITEM& row : sdlkeys()) {
    if (row.name == text) return row.key;
  }
  return 0;
}

int32_t* MapKeys::FindBinding(const RString& name, Source source) {
  for (const Binding& binding : kBindings) {
    if (name == binding.name) {
      const bool allowed = source == Source::Configuration || binding.inKeyMapFile;
      return allowed ? &(this->*binding.field) : nullptr;
    }
  }
  return nullptr;
}

int32_t MapKeys::CoinKey(int input) const {
  const int32_t coinKeys[] = {coin1, coin2, coin3, coin4, coin5, coin6};
  return input >= 1 && input <= 6 ? coinKeys[input - 1] : 0;
}

int MapKeys::CoinInput(int key) const {
  if (key == 0) return 0;
  for (int input = 1; input <= 6; ++input)
    if (CoinKey(input) == key) return input;
  return 0;
}
