// The download script's progress files: the on-line results' rows show each
// download's percentage, and a completed download is charged and queued.
#include "gui/OnlineDownloads.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "catalogue/Downloads.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/DownloadProgress.h"
#include "gui/SDLGui.h"

namespace {

// The download script may still hold the finished file for a moment.
const uint32_t kDownloadSettle = 1000;
const char* const kDownloadComplete = "100";

}  // namespace

void OnlineDownloads::FollowDownloads() {
  DownloadProgress progress;
  while (const std::optional<DownloadProgress::Report> report = progress.Next()) {
    if (report->kind == DownloadProgress::Report::kRefused) {
      RefuseDownload(report->name);
    } else if (report->kind == DownloadProgress::Report::kRunning) {
      ShowDownloadProgress(report->name, report->percent);
    } else {
      CompleteDownload(report->name);
      return;
    }
  }
}

// The list is shown again only while the searcher is on the screen.
int OnlineDownloads::ShowDownloadProgress(const RString& name, const RString& percent) {
  if (gui.onlineResultsList == nullptr) return -1;
  const RString fileName = name.BeforeLast('.');
  int row = 0;
  for (const RItemList* node = gui.onlineResultsList->items.GetFirst(); node != nullptr;
       node = node->next, ++row) {
    const RString text(static_cast<const char*>(node->data));
    if (DownloadName(text) != fileName) continue;
    gui.onlineResultsList->SetItem(DownloadProgress::Row(text.AfterFirst(' '), percent), row);
    const bool searcherShown = gui.dialog == SDLGui::kKeyboardScreen && gui.config->phonekeyboard;
    gui.onlineResultsList->Draw(searcherShown ? gui.screen : nullptr, false);
    return row;
  }
  return -1;
}

// A download named so that its path would lead out of its folder is
// neither charged nor queued.
void OnlineDownloads::RefuseDownload(const RString& name) {
  std::printf("Descarga rechazada, nombre no valido: %s\n", name.Chars());
  gui.messageBox.ShowMsg("Descarga rechazada", gui.genreFont, MessageBox::kRefusalTime, true, true);
}

// Without the credits in the coin-operated mode the download is refused; it
// stays on disk but is not queued. The charge and the queued track are saved
// together, with the price as what the entry was paid.
void OnlineDownloads::CompleteDownload(const RString& name) {
  DownloadProgress::Forget(name);
  gui.inputs.WaitKeepingInput(kDownloadSettle);
  const int32_t price = std::max(gui.config->creditsdownloads, 0);
  if (gui.JukeboxMode() && gui.Credits() < price) {
    gui.messageBox.ShowMsg("Creditos insuficientes para DESCARGA", gui.genreFont, MessageBox::kRefusalTime, true, true);
    return;
  }
  const uint32_t track = static_cast<uint32_t>(gui.library->AddDownloadedTrack(name));
  const uint32_t disc = static_cast<uint32_t>(gui.library->DownloadsDiscIndex());
  std::printf("Index of added download: 0 %u %u\n", disc, track);
  const Cashbox::Ticket ticket = gui.cashbox->Buy(QueueElement{0, disc, track, 0}, price);
  gui.purchases.Pending().Add(ticket, [this, name](const Cashbox::Outcome& outcome) {
    if (gui.purchases.TellUnsold(outcome.sale)) return;
    gui.panels.DrawCredits(true);
    gui.panels.DrawQueue(true);
    const int row = ShowDownloadProgress(name, kDownloadComplete);
    if (row != -1) std::printf("Index item: %d\n", row);
  });
}
