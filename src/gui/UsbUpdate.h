#pragma once
// The USB update folder "<usb_path>:\ACTUALIZACION": offered once each time
// it appears; accepted, its albums are copied into the first media folder,
// the catalogue is rebuilt and the machine powers off once the stick is
// pulled.
#include <cstdint>

#include "base/RString.h"

class SDLGui;
struct StickAlbum;
struct StickGenre;

class UsbUpdate {
 public:
  explicit UsbUpdate(SDLGui& gui) : gui(gui) {}
  UsbUpdate(const UsbUpdate&) = delete;
  UsbUpdate& operator=(const UsbUpdate&) = delete;

  void PollUsbUpdate();

 private:
  void UpdateFromUsb(const RString& folder);
  // False when a quit request stopped the copy.
  bool CopyUsbGenre(const RString& folder, const StickGenre& genre);
  bool CopyUsbAlbum(const RString& from, const RString& to, const StickAlbum& album);
  // Takes input between the blocks of a copy; false once quit is requested.
  bool KeepInputDuringUpdate();

  SDLGui& gui;
  // Whether the folder is offered when it is next seen.
  uint8_t usbUpdateArmed = 1;
};
