#pragma once
// The operator menu (screen 5): its keys, its list's drawing and the rows'
// actions (counters, statistics, WPS, maintenance programs), apart from the
// rest of the GUI. The edited values are the OperatorMenu part's.
#include <SDL.h>

#include <cstdint>

#include "gui/OperatorMenu.h"

class SDLGui;

class OperatorMenuScreen {
 public:
  explicit OperatorMenuScreen(SDLGui& gui) : gui(gui) {}
  OperatorMenuScreen(const OperatorMenuScreen&) = delete;
  OperatorMenuScreen& operator=(const OperatorMenuScreen&) = delete;

  // The menu's list with its rows, made with the other lists, and its
  // place on the screen.
  void CreateConfigList();
  SDL_Rect ConfigListArea();
  // Opens the menu over the main screen with the settings as they stand;
  // the row selected at the last visit stays selected.
  void OpenMenuConfig();
  // One key on the menu: up and down move, left and right change the
  // selected value, enter runs the selected row, menu and cancel leave
  // without saving; the display is flipped after every key.
  void keydown_config(int key);
  // The list over its own filled background.
  void DrawConfigList();
  // Asks the supplicant for its state into "wps_out"; whether it reports a
  // completed connection.
  bool check_wps_state();

 private:
  // left, right, menu, cancel and enter; false when key is none of them.
  bool MenuKey(int key);
  // The rows that show values, written from the settings and edited copies.
  void WriteMenuRows();
  // left (-1) and right (+1) on the selected row.
  void StepMenuValue(int step);
  void RunSelectedMenuRow();
  void CloseOperatorMenu();
  void ClearCoinCounters();
  void SaveOperatorSettings();
  // The ledger's figures (StatisticsScreen) until a key or kStatisticsShown.
  void ShowStatistics();
  void ConnectByWps();
  bool WaitForWpsConnection();
  // How long the WPS wait may still last, under its message.
  void ShowSecondsLeft(uint32_t seconds);
  void StartCatalogueTool();
  void OpenFileManager();

  SDLGui& gui;
  OperatorMenu menu;
};
