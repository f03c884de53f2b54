#pragma once
// The screen size and the pixel rectangle of every main-screen panel. Each
// rectangle defaults to fixed fractions of the screen width W or height H,
// and the skin file "skins/<name>.txt" may override them with fractions of
// its own, so one skin file fits every resolution.
#include <cstdint>

#include "base/RString.h"

class Skin {
 public:
  // A width or height of 0 stands for 800 or 600. The rectangles stay 0
  // until CalculateCoordinates runs.
  Skin(uint16_t width, uint16_t height, uint8_t mode);

  void SetSkinName(const RString& skinName);
  // Every rectangle, coverseparation and wcover from the fractions of the
  // current width and height.
  Skin& SetDefaultCoordsSkin4();
  // Takes the new size when both are non-zero; with mode 1 then assigns the
  // defaults and applies the skin file of the current name.
  void CalculateCoordinates(uint8_t mode, uint16_t width, uint16_t height);

  uint32_t mode;
  int32_t coverseparation = 0;
  uint16_t width;
  uint16_t height;
  RString name;

  int32_t xgenre = 0, ygenre = 0, wgenre = 0, hgenre = 0;
  int32_t xtitles = 0, ytitles = 0, wtitles = 0, htitles = 0;
  int32_t xcovers = 0, ycovers = 0, wcovers = 0, hcovers = 0;
  int32_t wcover = 0;
  int32_t xtrackslist = 0, ytrackslist = 0, wtrackslist = 0, htrackslist = 0;
  int32_t xmedia = 0, ymedia = 0, wmedia = 0, hmedia = 0;
  int32_t xqueue = 0, yqueue = 0, wqueue = 0, hqueue = 0;
  int32_t xcredits = 0, ycredits = 0, wcredits = 0, hcredits = 0;
  int32_t xinfo = 0, yinfo = 0, winfo = 0, hinfo = 0;
  int32_t xgenreslist = 0, ygenreslist = 0, wgenreslist = 0, hgenreslist = 0;
  int32_t xabclist = 0, yabclist = 0, wabclist = 0, habclist = 0;
  int32_t xvolumen = 0, yvolumen = 0, wvolumen = 0, hvolumen = 0;
  int32_t xmarquee = 0, ymarquee = 0, wmarquee = 0, hmarquee = 0;

 private:
  // Applies one "key=value" line of the skin file; unknown keys are skipped.
  void ApplySkinValue(const RString& key, const RString& value);
  // wcover and the centred genres-list and alphabet-list positions.
  void DeriveDependentCoords();
};
