#pragma once
// The cabinet's service state on the screen: the running-time counter
// "exectime.txt" with its reminder, the online/offline indicator the
// network checker asks for, items that failed in a row and a state that
// cannot be saved, which the marquee tells. The clocks are the GUI's
// PlayTiming.
#include <SDL.h>

class SDLGui;

class ServiceStatus {
 public:
  explicit ServiceStatus(SDLGui& gui) : gui(gui) {}
  ServiceStatus(const ServiceStatus&) = delete;
  ServiceStatus& operator=(const ServiceStatus&) = delete;

  // Shows the reminder when the running time passed periodoservicio hours.
  void RemindServiceWhenDue();
  // Adds seconds to the running-time counter "exectime.txt".
  void save_exec(int seconds);
  void SaveRunningTimeWhenDue();
  // Shows the online/offline indicator written by the network checker in
  // "serverstatus" and deletes the file; -1 when the file was empty (it then
  // stays), 0 otherwise.
  int OnlineChecker();
  // The network checker's answer every 2 s.
  void CheckOnlineWhenDue();

  // After kFailuresForService items in a row not played the cabinet needs
  // service, which the marquee tells until an item plays.
  static constexpr int kFailuresForService = 3;
  void CountFailure();
  // An item finished; the one that failed last finishes too.
  void CountPlayed();
  bool NeedsService() const { return failuresInARow >= kFailuresForService; }
  // Retries a failed save when due, and has the marquee tell when saving
  // starts or stops failing.
  void NoteSavingState();

 private:
  void ShowOnlineIndicator(SDL_Surface* icon);

  SDLGui& gui;
  int failuresInARow = 0;
  // Whether the item that finishes last was not played.
  bool lastItemFailed = false;
  // Whether the cabinet was last shown as unable to save.
  bool shownSaveFailing = false;
  bool shownLedgerFailing = false;
};
