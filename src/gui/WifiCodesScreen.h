#pragma once
// The Wi-Fi codes' dialogs: the customer's purchase and QR code, and the
// administrator's code, apart from the rest of the GUI. The codes made are
// the WifiCodes part's.
#include <SDL.h>

#include "base/RString.h"
#include "gui/WifiCodes.h"
#include "state/Cashbox.h"

class SDLGui;

class WifiCodesScreen {
 public:
  explicit WifiCodesScreen(SDLGui& gui) : gui(gui) {}
  WifiCodesScreen(const WifiCodesScreen&) = delete;
  WifiCodesScreen& operator=(const WifiCodesScreen&) = delete;

  // Asks how many credits (1 up to the balance) the customer spends on a
  // code; enter submits the sale, and once it is saved the code is made.
  // Credits for a code that could not be made are given back.
  void AskWifiCode();
  // What follows a code's sale.
  void CodeSold(const Cashbox::Outcome& outcome);
  // Makes a new code with its QR image and shows it until the image is
  // removed (the code was used), a key is pressed or 40 s passed; false
  // when the image could not be made (nothing was shown then).
  bool makeWifiCode();
  // The administrator's code image, shown until a key or for 20 s.
  void makeWifiCodeAdmin();
  void TellCodeNotMade();
  // The codes made since start.
  const WifiCodes& CodeBook() const { return codes; }

 private:
  // The dialog image with the code's picture scaled into its centre, the
  // caption above it and the code below (when not empty); null when either
  // image cannot be loaded.
  SDL_Surface* ComposeCodeDialog(const RString& image, const RString& caption, const RString& code);
  // Text centred horizontally on the dialog, offset pixels from its middle.
  void PutCodeDialogText(SDL_Surface* dialog, const RString& text, int offset);
  // Shows the composed dialog centred on the screen and frees it.
  void ShowCodeDialog(SDL_Surface* dialog);

  SDLGui& gui;
  WifiCodes codes;
};
