#pragma once
// What the operator menu edits: the credits per coin and the play mode are
// edited on copies and reach the settings only through "Guardar y salir";
// the TV output switches at once. The rows' texts are written from them.
#include <cstdint>

#include "base/RString.h"

class Configuration;

class OperatorMenu {
 public:
  // The menu's rows, in their order.
  enum Row {
    kCoin1Row, kCoin2Row, kCounter1Row, kCounter2Row, kClearCountersRow, kStatisticsRow, kAdminCodeRow, kPlayModeRow,
    kTvOutRow, kWpsRow, kConfigtoolRow, kFilesRow, kSaveRow, kExitRow
  };
  static constexpr int kRowCount = kExitRow + 1;
  // Every row at its widest, for the list's size.
  static const char* WidestRow(int row);

  // The copies start from the settings as they stand.
  void Open(const Configuration& config);
  // left (-1) or right (+1) on a row; whether the row has a value that
  // changed. Coin values stay between 0 and what "configuser" can hold.
  bool Step(int row, int step, Configuration& config);
  // The edited values into the settings.
  void Save(Configuration& config) const;
  // The text of a row that shows a value; the others keep theirs (empty).
  RString ValueRow(int row, const Configuration& config, int count1, int count2) const;
  static bool ShowsValue(int row);

 private:
  int32_t coin1_ = 0, coin2_ = 0;
  RString playMode_ = "";
};
