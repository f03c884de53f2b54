#pragma once
// SDLGui: the one object that owns the screen and all interaction, a façade
// over screens and parts that own their state: the screens MainScreen,
// GenresListScreen, AlphabetScreen, KeyboardScreen, SearcherScreen,
// OperatorMenuScreen and WifiCodesScreen; the parts DisplaySetup,
// InputSource, InputRouter, MessageBox, PlaybackEvents, MarqueeView (over
// Marquee), TextCursor, ServiceStatus, UsbUpdate, MainPanels, CoverCarousel
// (over CoverRing), VideoPlacement, CoinInputs, VolumeControl, Purchases,
// OnlineDownloads (over DownloadProgress), QueueRequestFolder, ScreenImages
// and the catalogue walk both searches take (CatalogueWalk).
// The rest of its state is grouped in GuiState.h; all of it is private,
// reached from outside through the accessors below. Its own members live in
// SDLGui*.cpp, one source per concern: set-up, the video window's handle,
// main-screen helpers, image files, main loop, frame, marquee text and
// karaoke.
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <mutex>

#include "base/RString.h"
#include "gui/AlphabetScreen.h"
#include "gui/CoinInputs.h"
#include "gui/CoverCarousel.h"
#include "gui/DisplaySetup.h"
#include "gui/GenresListScreen.h"
#include "gui/GuiState.h"
#include "gui/InputRouter.h"
#include "gui/InputSource.h"
#include "gui/KeyboardScreen.h"
#include "gui/MainPanels.h"
#include "gui/MainScreen.h"
#include "gui/Marquee.h"
#include "gui/MarqueeView.h"
#include "gui/MessageBox.h"
#include "gui/OnlineDownloads.h"
#include "gui/OperatorMenuScreen.h"
#include "gui/Purchases.h"
#include "gui/QueueRequestFolder.h"
#include "gui/PlaybackEvents.h"
#include "gui/ScreenImages.h"
#include "gui/SearcherScreen.h"
#include "gui/ServiceStatus.h"
#include "gui/TextCursor.h"
#include "gui/UsbUpdate.h"
#include "gui/VideoPlacement.h"
#include "gui/VolumeControl.h"
#include "gui/WifiCodesScreen.h"
#include "playback/PlayerListener.h"
#include "playback/Queue.h"
#include "state/Cashbox.h"

class Configuration;
class MainLibrary;
class Player;
class Skin;

class SDLGui : public PlayerListener,
               private ScreenImages,
               private GuiResources,
               private ScreenState,
               private TextWriters,
               private ScreenLists,
               private MainSelection,
               private TypedSearch,
               private InputState,
               private PlayTiming {
 public:
  explicit SDLGui(Queue* queue);
  ~SDLGui() override;
  SDLGui(const SDLGui&) = delete;
  SDLGui& operator=(const SDLGui&) = delete;

  // Display set-up ---------------------------------------------------------

  // Opens the display, fonts and images, the video window, restores
  // credits and queue and applies the volume. 1 when done, 0, with a log
  // line, when the cabinet cannot run: no display, or a font that cannot be
  // opened.
  int initialize(Skin* skin, MainLibrary* library, Player* player, Configuration* configuration);
  void DrawBackground(bool update);
  void UpdateBackground();

  // Main loop --------------------------------------------------------------

  // The screens, as `dialog` holds them.
  enum Screen {
    kMainScreen = 0,
    kGenresScreen = 1,
    kAlphabetScreen = 2,
    kKeyboardScreen = 3,  // the searcher when phonekeyboard is on
    kResultsScreen = 4,
    kConfigScreen = 5,
  };
  // What `redrawMode` asks of the next pass.
  enum Redraw { kFullRedraw = 0, kUpToDate = 2, kPartialRedraw = 3 };

  bool stillactive() const { return !quitRequested; }
  // The pictures the screens show and compose into.
  const ScreenImages& Images() const { return *this; }
  ScreenImages& Images() { return *this; }
  // Background work before draw: loads missing covers, and returns a small
  // video to full screen after timeoutvideohide seconds without input.
  void extrawork();
  // Pending redraws and the screen's timed duties.
  void draw();
  // Polls the USB update and queue request folders, handles at most one
  // input event, then pauses 1 ms.
  void pool();
  // The dialog over the main screen drawn again, then the display flipped.
  void RedrawCurrentDialog();
  // Full redraw: background and every main-screen panel, the video window
  // placed for what plays, the display flipped.
  void DrawAll();
  // Shows every composed panel.
  void UpdateAll();
  // The player's side: called by the playback thread (events, the video
  // window), and when the player goes.
  void ExternalAction(int event) override;
  void ItemNotPlayed(const QueueElement& entry, const PlayReport& report) override;
  void ItemPlayed(const QueueElement& entry, const PlayReport& report) override;
  // The money's owner, once initialized: for the ledger's start and stop.
  Cashbox& Money() { return *cashbox; }
  unsigned long GetWindowPlayerHandle() override;
  const Configuration& PlayerSettings() const override { return *config; }
  void ForgetPlayer(const Player* gone) override;

  // Input ------------------------------------------------------------------

  // Every event read, the waits that keep input, and the pass observer.
  InputSource& Inputs() { return inputs; }
  // Stops what plays and ends the main loop.
  void QuitProgram();

  // Whether a pressed key is the one bound to a role; an unbound role (code
  // 0) matches no key.
  static bool KeyIs(int key, int32_t binding) { return binding != 0 && key == binding; }
  // Whether a screen can be entered: it takes keys and has what it draws.
  // When it cannot, the key that would open it does nothing but log.
  bool CanEnter(int screen);
  // A step of draw: the redraw redrawMode asks for.
  void RedrawWhenPending();


  // Cover cache ------------------------------------------------------------

  // The carousel's covers around the selected disc and their loading.
  CoverCarousel& Carousel() { return carousel; }
  // An image file (internal path) as loaded at its own size; null when it
  // cannot be, or declares more pixels than any picture shown here needs.
  static SDL_Surface* LoadImageFile(const RString& path);
  // A smoothed copy of image in width × height, its proportions kept
  // (letterboxed); null on failure.
  static SDL_Surface* ScaledCopy(SDL_Surface* image, int width, int height);

  // An SDL rectangle from plain integers; negative sizes become 0.
  static SDL_Rect MakeRect(int x, int y, int w, int h);
  // A 24-bit surface of the given size with the default masks.
  static SDL_Surface* NewSurface(int w, int h);

  // The display's set-up at start, and the running time and online
  // indicator.
  DisplaySetup& Setup() { return setup; }
  ServiceStatus& Service() { return serviceStatus; }
  // The input events of the main loop, keys handed to the screen on top.
  InputRouter& Router() { return router; }
  // The request files of the folder "queue".
  QueueRequestFolder& QueueRequests() { return queueRequests; }
  // The video window's place.
  VideoPlacement& Video() { return video; }
  // The coin inputs: their presses and the coins they credit.
  CoinInputs& Coins() { return coins; }
  VolumeControl& Volume() { return volume; }
  // The message box and its waits.
  MessageBox& Messages() { return messageBox; }
  // Paying for plays and the sales still being saved.
  Purchases& Sales() { return purchases; }
  // The main screen's panels.
  MainPanels& Panels() { return panels; }
  // The main screen (screen 0), the genre list (screen 1) and the alphabet
  // (screen 2).
  MainScreen& Main() { return mainScreen; }
  GenresListScreen& GenresList() { return genresScreen; }
  AlphabetScreen& Alphabet() { return alphabetScreen; }
  // The operator menu (screen 5).
  OperatorMenuScreen& MenuScreen() { return menuScreen; }

  // The Wi-Fi codes' dialogs and the codes made since start.
  WifiCodesScreen& WifiScreen() { return wifiScreen; }
  // The on-screen keyboard (screen 3 without phonekeyboard) and the
  // search's results (screen 4).
  KeyboardScreen& Keyboard() { return keyboardScreen; }
  // The phone-keypad searcher (screen 3 with phonekeyboard).
  SearcherScreen& Searcher() { return searcher; }

  // Genre list, alphabet, keyboard and results ------------------------------

  // Keys every dialog shares: coins do nothing, volume and skip act, with
  // their second bindings where secondBindings. Whether key was one of them.
  bool CommonDialogKey(int key, bool secondBindings);
  // Leaves the dialog for a fully redrawn main screen.
  void CloseDialog();
  // Leaves it for the main screen with the match's track selected.
  void JumpToMatch(const QueueElement& match);

  // up and down move the list, and left and right as well.
  void MoveInList(ListBox& list, int key);

  // Frame update -----------------------------------------------------------

  // A step of draw: random play after randomplay idle minutes.
  void PlayRandomWhenIdle();
  // The karaoke score: a random 0..9 shown over its picture with booing
  // (below 6) or applause, then the main screen again.
  void KaraokeCalif();

  // Marquee and TV-out -----------------------------------------------------

  // The text enters again from the panel's right edge.
  void MarqueeCalc();
  // The configured marquee text, or the call for service: for a state that
  // cannot be saved first, then for items that failed in a row.
  const RString& MarqueeText() const;

  // The marquee's and the TV-out text's places and the advertising images.
  Marquee& MarqueePart() { return marquee; }

  // Parts and state, by what they are about ------------------------------

  GuiResources& Resources() { return *this; }
  const GuiResources& Resources() const { return *this; }
  ScreenState& Display() { return *this; }
  TextWriters& Writers() { return *this; }
  ScreenLists& Lists() { return *this; }
  const ScreenLists& Lists() const { return *this; }
  MainSelection& Selection() { return *this; }
  const MainSelection& Selection() const { return *this; }
  TypedSearch& Search() { return *this; }
  const TypedSearch& Search() const { return *this; }
  InputState& Input() { return *this; }
  PlayTiming& Timing() { return *this; }
  // Playback events posted and not yet dealt with.
  std::deque<int> PendingPlaybackEvents();

  int32_t Credits() const { return cashbox->Credits(); }

 private:
  // State ---------------------------------------------------------------

  friend class InputSource;
  InputSource inputs{*this};
  friend class DisplaySetup;
  DisplaySetup setup{*this};
  friend class MarqueeView;
  MarqueeView marqueeView{*this};
  friend class PlaybackEvents;
  PlaybackEvents playbackEvents{*this};
  friend class TextCursor;
  TextCursor textCursor{*this};
  friend class ServiceStatus;
  ServiceStatus serviceStatus{*this};
  friend class UsbUpdate;
  UsbUpdate usbUpdate{*this};
  friend class InputRouter;
  InputRouter router{*this};
  friend class CoverCarousel;
  CoverCarousel carousel{*this};
  friend class MainPanels;
  MainPanels panels{*this};
  friend class MainScreen;
  MainScreen mainScreen{*this};
  friend class GenresListScreen;
  GenresListScreen genresScreen{*this};
  friend class AlphabetScreen;
  AlphabetScreen alphabetScreen{*this};
  friend class KeyboardScreen;
  KeyboardScreen keyboardScreen{*this};
  friend class SearcherScreen;
  SearcherScreen searcher{*this};
  Queue* queue;
  std::mutex stateMutex;

  // Playback events not yet dealt with, oldest first, and the entries of
  // their not-played events; under stateMutex.
  std::deque<int> playEvents;
  std::deque<QueueElement> notPlayedEntries;
  Marquee marquee;
  friend class OperatorMenuScreen;
  OperatorMenuScreen menuScreen{*this};
  void OpenMenuConfig() { menuScreen.OpenMenuConfig(); }
  friend class WifiCodesScreen;
  WifiCodesScreen wifiScreen{*this};
  friend class VideoPlacement;
  VideoPlacement video{*this};
  friend class CoinInputs;
  CoinInputs coins{*this};
  friend class VolumeControl;
  VolumeControl volume{*this};
  friend class MessageBox;
  MessageBox messageBox{*this};
  friend class Purchases;
  Purchases purchases{*this};
  friend class QueueRequestFolder;
  QueueRequestFolder queueRequests{*this};
  friend class OnlineDownloads;
  OnlineDownloads downloads{*this};
  void RestoreSavedState();

  void StopPlayer();

  // Shows the part of area that lies on the screen.
  void UpdateScreenArea(const SDL_Rect& area);

  // Main screen keys (helpers) ---------------------------------------------

  bool JukeboxMode() const;
  // The tracks list drawn again as it stands, over its piece of background.
  void ShowTracksList(bool highlightAll);
  int SelectedAlbumTracks() const;

  // Frame update (helpers) -------------------------------------------------

  void PlayFinished();

  bool sdlStarted_ = false;
};
