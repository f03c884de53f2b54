#pragma once
// The GUI's working state, grouped by what it is about. SDLGui holds each
// group privately; tests and tools reach a group through SDLGui's accessor
// of the same name.
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "base/RString.h"
#include "gui/ListBox.h"
#include "gui/SoundClip.h"
#include "gui/VideoWindow.h"
#include "gui/fontsdl.h"
#include "playback/Queue.h"
#include "state/Cashbox.h"

class MainLibrary;
class Player;
class Configuration;
class Skin;

// What the GUI was given or opened at set-up.
struct GuiResources {
  MainLibrary* library = nullptr;
  Player* player = nullptr;
  Configuration* config = nullptr;
  Skin* skin = nullptr;
  // The customer's credits, the coin counters and their saved state; made
  // by initialize.
  std::unique_ptr<Cashbox> cashbox;
  // "coin.wav", played through SDL's audio once the first coin comes.
  std::unique_ptr<SoundClip> coinSound;
  unsigned long mainWindow = 0;
  std::unique_ptr<VideoWindow> playerWindow;
};

// The display and which screen it shows.
struct ScreenState {
  SDL_Surface* screen = nullptr;
  // A Screen value.
  int32_t dialog = 0;
  // What the next pass redraws (a Redraw value).
  int32_t redrawMode = 0;
  uint8_t quitRequested = 0;
};

// The ten text writers, one per kind of text.
struct TextWriters {
  SDL_TTFWriter genreFont, titlesFont, tracksFont, playingFont, queueFont;
  SDL_TTFWriter modeFont, genresListFont, alphabetFont, marqueeFont, keyboardFont;
};

// The list boxes of the screens.
struct ScreenLists {
  std::unique_ptr<ListBox> tracksList, genresList, queueList, resultsList, configList;
  // The searcher's album matches, and its track matches with the on-line
  // results after them.
  std::unique_ptr<ListBox> localResultsList, onlineResultsList;
};

// The main screen's selection, the album or track number being typed and
// the selected title's scroll.
struct MainSelection {
  uint32_t selGenre = 0, selDisc = 0, selTrack = 0;
  RString typedNumber = "";
  uint8_t enteringTrack = 0;
  uint32_t titleScrollAt = 0;
  uint32_t titleScrollOffset = 0;
};

// The text typed on the keyboard or the searcher and what it found.
struct TypedSearch {
  RString searchText = "";
  uint32_t cursorPos = 0;
  // The highlighted key of the on-screen keyboard.
  int32_t keyboardKey = 0;
  // The alphabet's letter.
  int abcLetter = 'A';
  uint32_t lastTapAt = 0;
  // The catalogue position of each row of the keyboard search's results.
  std::vector<QueueElement> resultEntries;
  // The position of each row of the album list and of each track row of the
  // second list; on-line rows follow the track rows there.
  std::vector<QueueElement> albumMatches, trackMatches;
  // Each on-line result's row text and address; an empty address for a
  // record the search script cut short.
  std::vector<RString> onlineTitles, onlineUrls;
  uint8_t searchRunning = 0;
};

// Input as the main loop follows it between events.
struct InputState {
  uint8_t queuePollCounter = 0;
  // The last touch that hit no button.
  int lastTouchX = 0, lastTouchY = 0;
  uint32_t keyDownAt = 0;
  int32_t touchHeld = 0;
  int32_t menuSequenceStep = 0;
  uint8_t miniVideo = 0;
  uint32_t idleSince = 0;
};

// The playing item's clock and the screen's timed duties.
struct PlayTiming {
  uint32_t playStartedAt = 0;
  uint32_t playSeconds = 0;
  uint32_t readyAt = 0;
  uint32_t lastOnlineCheck = 0;
  uint32_t lastRunTimeSave = 0;
};
