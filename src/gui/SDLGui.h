#pragma once
// SDLGui: the one object that owns the screen and all interaction. Its
// members live in several sources of this folder, one per concern:
// SDLGuiSetup (display set-up, running-time counter, online indicator),
// SDLGuiVideoWindow (the video window), SDLGuiMessages (message box, coins,
// volume), SDLGuiPanels (main-screen panels), SDLGuiCovers (cover cache) and
// SDLGuiLoop (the main loop's calls).
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/RList.h"
#include "base/RString.h"
#include "base/RStringsList.h"
#include "gui/ListBox.h"
#include "gui/VideoWindow.h"
#include "gui/fontsdl.h"

class Configuration;
class MainLibrary;
class Player;
class Queue;
class Skin;
struct sqlite3;

// The volume of the cabinet's wave output device for a volume in percent:
// trunc(percent × 65535 / 100) in each 16-bit half (left high, right low);
// percentages outside 0..100 are taken as the nearest limit.
uint32_t WaveOutVolume(int percent);

class SDLGui {
 public:
  explicit SDLGui(Queue* queue);
  ~SDLGui();
  SDLGui(const SDLGui&) = delete;
  SDLGui& operator=(const SDLGui&) = delete;

  // Display set-up ---------------------------------------------------------

  // Opens the database file, the display, fonts and images, the video
  // window, restores credits and queue and applies the volume. 1 when done,
  // 0 when the display could not be set up. A database file that cannot be
  // opened ends the program with exit code 1.
  int initialize(Skin* skin, MainLibrary* library, Player* player, Configuration* configuration);
  // SDL's video subsystem and the video mode (doubled in width with TV-out);
  // 0 with a log line on failure.
  int OpenDisplay();
  // The ten writers from "arial.ttf" with the configured sizes and colours.
  void LoadWriters();
  // Panel save surfaces, key highlights and list boxes; returns the genres
  // list's row count.
  int ReserveSurfaces();
  // Every image of the screens; false when a required one is missing (the
  // later ones are then not loaded).
  bool LoadImages();
  // Places SDL's window and creates the video window over the media panel,
  // or over the TV-out area; 0 when the window system refused it.
  int CreatePlayerWindow();
  // Shows the reminder when the running time passed periodoservicio hours.
  void RemindServiceWhenDue();
  // Shows the online/offline indicator written by the network checker in
  // "serverstatus" and deletes the file; -1 when the file was empty (it then
  // stays), 0 otherwise.
  int OnlineChecker();
  // Adds seconds to the running-time counter "exectime.txt".
  void save_exec(int seconds);
  void DrawBackground(bool update);
  void UpdateBackground();
  bool DirectoryExists(const RString& path);

  // Main loop --------------------------------------------------------------

  bool stillactive() const { return !quitRequested; }
  void extrawork();
  void draw();
  // At most one input event per call, then a 1 ms pause.
  void pool();
  // Full redraw of what the screen shows: background and credits box; the
  // video window is hidden unless a video plays.
  void DrawAll();
  // Called by the playback thread.
  void ExternalAction(int event);
  unsigned long GetWindowPlayerHandle();

  // Panels -----------------------------------------------------------------

  void DrawCredits(bool update);
  void UpdateCredits();
  void DrawVolumen(bool update);
  void UpdateVolumen();
  // One row "n.- name" per genre; the row count.
  int CreateGenresList();

  // Messages, coins, volume and the video window ---------------------------

  // A box with text centred on the screen. With wait, input is read until a
  // key other than a coin or cancelsong goes down (its code is returned) or
  // timeout ms passed (-1: no limit); coins are credited and cancelsong stops
  // the playing item meanwhile. With restore the covered area comes back.
  // -1 when no key ended it.
  int ShowMsg(const RString& text, SDL_TTFWriter& writer, int timeout, bool wait, bool restore);
  // Credits one coin of the input bound to key, counts it and saves.
  void CreditKey(int key);
  // The coin input 1..6 bound to key; 0 when none is.
  int CoinInputOfKey(int key) const;
  void UpVol();
  void DownVol();
  // Sets the system's master volume in percent.
  void ApplyVolume(int percent);
  void FullVideo();
  void HideVideoWindow();
  void ShowVideoWindow();

  // Cover cache ------------------------------------------------------------

  struct CoverSlot {
    SDL_Surface* cover = nullptr;
    uint32_t disc = 0;
  };
  static constexpr int kCoverSlots = 24;
  // Appends the empty slots of the cover ring.
  void InitCoversCache();

  // The media player, as far as the GUI asks it; start-up connects these to
  // the Player. Unconnected, nothing plays and nothing is stopped.
  std::function<void()> stopPlayer;
  std::function<bool()> isVideoPlaying;

  // An SDL rectangle from plain integers; negative sizes become 0.
  static SDL_Rect MakeRect(int x, int y, int w, int h);
  // A 24-bit surface of the given size with the default masks.
  static SDL_Surface* NewSurface(int w, int h);

  // Fields -----------------------------------------------------------------

  sqlite3* database = nullptr;
  int databaseOpenResult = 0;
  SDL_Surface* screen = nullptr;
  Uint32 videoModeFlags = 0;
  uint8_t quitRequested = 0;

  SDL_TTFWriter genreFont, titlesFont, tracksFont, playingFont, queueFont;
  SDL_TTFWriter modeFont, genresListFont, alphabetFont, marqueeFont, keyboardFont;

  MainLibrary* library = nullptr;
  Queue* queue;
  Player* player = nullptr;
  Configuration* config = nullptr;
  Skin* skin = nullptr;

  int32_t redrawMode = 0;
  int32_t dialog = 0;
  int32_t playEvent = 2;
  SDL_mutex* stateMutex = nullptr;
  uint32_t selGenre = 0, selDisc = 0, selTrack = 0;
  int32_t credits = 0;

  std::unique_ptr<ListBox> tracksList, genresList, queueList, resultsList, configList;
  std::unique_ptr<ListBox> localResultsList, onlineResultsList;

  RString typedNumber = "";
  uint8_t enteringTrack = 0;
  int abcLetter = 'A';
  RString searchText = "";
  uint32_t cursorPos = 0;
  int32_t keyboardKey = 0;
  uint32_t keyDownAt = 0;
  uint32_t lastInputDuringVideo = 0;
  uint32_t volumeShownAt = 0;
  uint32_t sideKeyHeldSince = 0;
  int32_t touchHeld = 0;
  int32_t menuSequenceStep = 0;
  uint8_t miniVideo = 0;
  uint8_t legacyVolume = 0;

  uint32_t playStartedAt = 0;
  uint32_t playSeconds = 0;
  uint32_t idleSince = 0;
  uint32_t titleScrollAt = 0;
  uint32_t titleScrollOffset = 0;
  uint32_t lastOnlineCheck = 0;
  uint32_t cursorBlinkAt = 0;
  uint8_t cursorPhase = 0;
  uint32_t lastRunTimeSave = 0;
  uint32_t readyAt = 0;
  uint32_t tvTick = 0;
  uint32_t adSwitchAt = 0;

  SDL_Surface* background = nullptr;
  SDL_Surface* genreSave = nullptr;
  SDL_Surface* coversSave = nullptr;
  SDL_Surface* titlesSave = nullptr;
  SDL_Surface* creditsSave = nullptr;
  SDL_Surface* playingSave = nullptr;
  SDL_Surface* volumeSave = nullptr;
  SDL_Surface* coverMediaSave = nullptr;
  SDL_Surface* marqueeSave = nullptr;
  SDL_Surface* genresDialogImage = nullptr;
  SDL_Surface* genresDialogSave = nullptr;
  SDL_Surface* resultDialogImage = nullptr;
  SDL_Surface* resultDialogSave = nullptr;
  SDL_Surface* jumpDialogImage = nullptr;
  SDL_Surface* jumpDialogSave = nullptr;
  SDL_Surface* keyboardImage = nullptr;
  SDL_Surface* searchPhoneImage = nullptr;
  SDL_Surface* searchPhoneSave = nullptr;
  SDL_Surface* keyHighlights[3] = {};
  SDL_Surface* coverSurface = nullptr;
  // Touch buttons: menu, accept, left, right, up, down.
  SDL_Surface* buttonImages[6] = {};
  SDL_Surface* backImage = nullptr;
  SDL_Surface* gearIcons[4] = {};
  SDL_Surface* onlineIcon = nullptr;
  SDL_Surface* offlineIcon = nullptr;
  SDL_Surface* karaokeImage05 = nullptr;
  SDL_Surface* karaokeImage610 = nullptr;
  SDL_Surface* digitImages[10] = {};
  SDL_Surface* tvOutImage = nullptr;
  RStringsList adFiles;
  RList coverCache;  // of owned CoverSlot*

  unsigned long mainWindow = 0;
  std::unique_ptr<VideoWindow> playerWindow;

 private:
  // One image file, the size it is scaled to (0 × 0 keeps its own) and the
  // line printed when it cannot be loaded (none when null).
  struct ImageSpec {
    RString file;
    SDL_Surface** slot;
    int width;
    int height;
    const char* missing;
  };
  bool LoadImage(const ImageSpec& image);
  template <size_t N>
  bool LoadAll(const ImageSpec (&images)[N]);
  void LoadDialogImage(const char* file, SDL_Surface*& image, SDL_Surface*& save);
  void CenterGenresListOnDialog();
  void CreateSearcherLists();
  std::unique_ptr<ListBox> NewList(const SDL_Rect& area, SDL_TTFWriter& writer, bool withBar);

  void OpenDatabase();
  void RestoreSavedState();
  void PlaceCursor();
  void PrepareTvOut();
  void ListAdvertising();
  void ShowOnlineIndicator(SDL_Surface* icon);
  void SaveRunningTimeWhenDue();
  void DiscardEvents(int count);

  void StepVolume(int step);
  bool WaitForKey(uint32_t start, int timeout, int& key);
  void PlayCoinSound();
  void StopPlayer();
  bool VideoPlaying() const;
  void SetVideoArea(const SDL_Rect& area);

  // The panel's rectangle of the background becomes save's backdrop.
  void ComposePanel(SDL_Surface* save, int x, int y);
  // Copies save onto the screen at (x, y); ShowPanel also shows that
  // rectangle.
  void PlacePanel(SDL_Surface* save, int x, int y);
  void ShowPanel(SDL_Surface* save, int x, int y);
  // Shows the part of area that lies on the screen.
  void UpdateScreenArea(const SDL_Rect& area);
  RString CreditsText() const;

  void FreeCoversCache();
  void FreeSurfaces();

  bool sdlStarted_ = false;
};
