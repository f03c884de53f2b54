#pragma once
// The screen of a cabinet with nothing to play: no media folder named in
// the settings, or media folders without a single album. It tells the owner
// what to do and stays, since a restart would find the same: coins are
// still credited and saved, and the exit key, Alt+F4 or a stop end it.
#include <SDL.h>

#include <vector>

#include "base/RString.h"
#include "gui/fontsdl.h"

class Cashbox;
class Configuration;
class Skin;

class NoMediaScreen {
 public:
  NoMediaScreen(const Configuration& config, const Skin& skin, Cashbox& cashbox);
  ~NoMediaScreen();
  NoMediaScreen(const NoMediaScreen&) = delete;
  NoMediaScreen& operator=(const NoMediaScreen&) = delete;

  // What the owner must do; mediaFolder is empty when the settings name
  // none. The last line shows the credits.
  std::vector<RString> Message(const RString& mediaFolder) const;
  // Opens the display and shows the message; false when there is no
  // display or font. From then on a stop ends the wait cleanly.
  bool Show(const RString& mediaFolder);
  // Keeps the message up until the program is asked to end.
  void Run();
  // One input event: a coin input's key going up credits a coin. False
  // when the event asks the program to end.
  bool Handle(const SDL_Event& event);
  // Draws the message onto the screen.
  void Draw();

 private:
  bool Open();

  const Configuration& config_;
  const Skin& skin_;
  Cashbox& cashbox_;
  RString mediaFolder_;
  SDL_Surface* screen_ = nullptr;
  SDL_TTFWriter writer_;
};
