// The running-time counter with its service reminder, and the online
// indicator.
#include "gui/ServiceStatus.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/RTextFile.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"

namespace {

const char* const kRunningTimeFile = "exectime.txt";
const char* const kServerStatusFile = "serverstatus";
const char* const kServiceReminder =
    "El equipo requiere servicio, llame al 01 555 010 00 00. Presionar tecla para continuar";
// The running-time counter is read from its first 30 characters.
const uint32_t kRunningTimeDigits = 30;

const uint32_t kRunningTimeInterval = 3000;
const uint32_t kOnlineCheckInterval = 1999;

// The first line of the running-time counter; false when it cannot be read.
bool ReadRunningTime(RString& text) {
  RTextFile file;
  if (!file.Open(kRunningTimeFile, "r")) return false;
  text = file.GetLine().GetSubString(0, kRunningTimeDigits);
  text.RemoveCR();
  return true;
}

// The leading decimal digits of the counter text; 0 when there are none.
long long RunningSeconds(const RString& text) { return std::strtoll(text.Chars(), nullptr, 10); }

void CreateRunningTimeFile() {
  FILE* file = platform::OpenFile(kRunningTimeFile, "w+");
  if (file == nullptr) return;
  std::printf("File created: %d\n", fileno(file));
  std::fclose(file);
}

}  // namespace

void ServiceStatus::RemindServiceWhenDue() {
  gui.lastRunTimeSave = platform::Ticks();
  save_exec(3);
  RString count;
  if (!ReadRunningTime(count)) return;
  std::printf("Execution count: %s\n", count.Chars());
  const long long dueSeconds = static_cast<long long>(gui.config->periodoservicio) * 3600;
  if (RunningSeconds(count) > dueSeconds) gui.messageBox.ShowMsg(kServiceReminder, gui.genreFont, -1, true, true);
}

void ServiceStatus::save_exec(int seconds) {
  RString text;
  if (!ReadRunningTime(text)) CreateRunningTimeFile();
  const long long count = RunningSeconds(text) + seconds;
  platform::WriteFileAtomically(kRunningTimeFile, std::to_string(count));
}

int ServiceStatus::OnlineChecker() {
  RTextFile file;
  if (!file.Open(kServerStatusFile, "r")) return 0;
  RString status = file.GetLine();
  if (status.GetLength() == 0) {
    file.Close();
    std::puts("SALTANDO SERVERSTATUS");
    return -1;
  }
  status.RemoveCR();
  ShowOnlineIndicator(status == "0" ? gui.offlineIcon : gui.onlineIcon);
  file.Close();
  platform::DeleteFile(kServerStatusFile);
  return 0;
}

// The indicator sits near the bottom-right corner and replaces the last one.
void ServiceStatus::ShowOnlineIndicator(SDL_Surface* icon) {
  if (gui.offlineIcon == nullptr) return;
  const SDL_Rect area =
      SDLGui::MakeRect(static_cast<int>(gui.skin->width * 0.9), static_cast<int>(gui.skin->height * 0.8),
                       gui.offlineIcon->w, gui.offlineIcon->h);
  SDL_Rect from = area;
  SDL_Rect to = area;
  SDL_BlitSurface(gui.background, &from, gui.screen, &to);
  to = area;
  SDL_BlitSurface(icon, nullptr, gui.screen, &to);
  gui.UpdateScreenArea(area);
}

// Whole seconds are added; the remainder counts towards the next save.
void ServiceStatus::SaveRunningTimeWhenDue() {
  if (gui.config->periodoservicio == 0) return;
  const uint32_t elapsed = platform::Ticks() - gui.lastRunTimeSave;
  if (elapsed <= kRunningTimeInterval) return;
  save_exec(static_cast<int>(elapsed / 1000));
  gui.lastRunTimeSave += elapsed / 1000 * 1000;
}

void ServiceStatus::CheckOnlineWhenDue() {
  const uint32_t now = platform::Ticks();
  if (gui.lastOnlineCheck == 0 || now - gui.lastOnlineCheck <= kOnlineCheckInterval) return;
  OnlineChecker();
  gui.lastOnlineCheck = now;
}

void ServiceStatus::NoteSavingState() {
  gui.cashbox->SaveIfDue();
  if (gui.cashbox->SaveFailing() == shownSaveFailing && gui.cashbox->LedgerFailing() == shownLedgerFailing) return;
  shownSaveFailing = gui.cashbox->SaveFailing();
  shownLedgerFailing = gui.cashbox->LedgerFailing();
  gui.MarqueeCalc();
}

void ServiceStatus::CountFailure() {
  lastItemFailed = true;
  if (++failuresInARow != kFailuresForService) return;
  std::printf("%d elementos seguidos sin reproducir: el equipo necesita servicio tecnico\n", failuresInARow);
  gui.cashbox->NoteService(std::to_string(failuresInARow) + " items in a row not played");
  gui.MarqueeCalc();
}

void ServiceStatus::CountPlayed() {
  if (lastItemFailed) {
    lastItemFailed = false;
    return;
  }
  if (NeedsService()) gui.MarqueeCalc();
  failuresInARow = 0;
}
