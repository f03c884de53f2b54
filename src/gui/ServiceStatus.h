#pragma once
// The cabinet's service state on the screen: the running-time counter
// "exectime.txt" with its reminder, and the online/offline indicator the
// network checker asks for. The clocks are the GUI's PlayTiming.
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

 private:
  void ShowOnlineIndicator(SDL_Surface* icon);

  SDLGui& gui;
};
