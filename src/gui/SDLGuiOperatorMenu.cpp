// The operator menu (screen 5): credits per coin, coin counters, play mode,
// TV output, the wireless connection by WPS, the administrator's Wi-Fi code
// and the maintenance programs.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "config/Configuration.h"
#include "gui/Frame.h"
#include "gui/SDLGui.h"
#include "gui/SdlColour.h"
#include "gui/StatisticsScreen.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "playback/Player.h"
#include "programs/ExternalPrograms.h"
#include "programs/ProgramOutputs.h"

namespace {

const int kWpsChecks = 60;
// The menu stands out from the main screen behind it.
const int kMenuFrame = 4;
const uint32_t kWpsCheckInterval = 2000;
const char* const kWirelessStateFile = "wps_out";
const int kStatisticsShown = 30000;
const int kStatisticsPoll = 100;

const int kListPadding = 5;
// Room right of the rows, where a list draws its scroll bar.
const int kScrollBarRoom = 20;
const int kLeastListWidth = 200, kLeastListHeight = 380;

}  // namespace

void SDLGui::CreateConfigList() {
  configList = NewList(ConfigListArea(), genresListFont, true);
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) configList->AddItem(OperatorMenu::WidestRow(row));
  configList->SetSelected(0);
  configList->SetPadding(kListPadding, kListPadding);
}

// At least 200 × 380 in the middle of the screen, and large enough for all
// the rows at their widest: a value cut off the list's edge would leave the
// operator guessing.
SDL_Rect SDLGui::ConfigListArea() {
  int widest = 0;
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) {
    int width = 0;
    genresListFont.SizeText(OperatorMenu::WidestRow(row), &width, nullptr);
    widest = std::max(widest, width);
  }
  const int w = std::max(kLeastListWidth, widest + 2 * kListPadding + kScrollBarRoom);
  const int h = std::max(kLeastListHeight, OperatorMenu::kRowCount * genresListFont.GetFontHeight() + 2 * kListPadding);
  return MakeRect(skin->width / 2 - w / 2, skin->height / 2 - h / 2, w, h);
}

// The menu comes over the main screen drawn whole again, without the
// access sequence's messages; a video window under it steps aside until
// the menu closes.
void SDLGui::OpenMenuConfig() {
  if (!CanEnter(kConfigScreen)) return;
  dialog = kConfigScreen;
  operatorMenu.Open(*config);
  WriteMenuRows();
  DrawAll();
  HideVideoOver(configList->rect);
  DrawConfigList();
}

void SDLGui::WriteMenuRows() {
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) {
    if (!OperatorMenu::ShowsValue(row)) continue;
    configList->SetItem(operatorMenu.ValueRow(row, *config, cashbox->CoinCount(1), cashbox->CoinCount(2)), row);
  }
}

// The list keeps no backdrop of its own: each drawing starts from the
// genre list's background colour, so no row leaves traces of its old text.
void SDLGui::DrawConfigList() {
  const SDL_Color fill = ToSdl(config->listageneros_fondo_color);
  SDL_Surface* surface = configList->GetSurface();
  if (surface != nullptr) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, fill.r, fill.g, fill.b));
  configList->Draw(screen, false);
  UpdateScreenArea(DrawFrame(screen, configList->rect, kMenuFrame, ToSdl(config->listageneros_barras_color)));
}

// Alt+F4 and the exit key never get here: they end the program on every
// screen but the main one.
void SDLGui::keydown_config(int key) {
  if (KeyIs(key, config->up)) {
    configList->Up();
    DrawConfigList();
  } else if (KeyIs(key, config->down)) {
    configList->Down();
    DrawConfigList();
  }
  static const KeyRole kMenuRoles[] = {
      {&MapKeys::left, &SDLGui::MenuLeft},
      {&MapKeys::right, &SDLGui::MenuRight},
      {&MapKeys::menu, &SDLGui::CloseOperatorMenu},
      {&MapKeys::cancel, &SDLGui::CloseOperatorMenu},
      {&MapKeys::enter, &SDLGui::RunSelectedMenuRow},
  };
  // Coins were credited when read; a coin key does nothing else here.
  static const KeyRole kServiceRoles[] = {
      {&MapKeys::upvol, &SDLGui::UpVol},
      {&MapKeys::downvol, &SDLGui::DownVol},
      {&MapKeys::cancelsong, &SDLGui::StopPlayer},
  };
  if (!ActOnFirstRole(key, kMenuRoles, std::size(kMenuRoles)) && CoinInputOfKey(key) == 0)
    ActOnFirstRole(key, kServiceRoles, std::size(kServiceRoles));
  SDL_Flip(screen);
}

void SDLGui::StepMenuValue(int step) {
  if (!operatorMenu.Step(configList->GetSelected(), step, *config)) return;
  WriteMenuRows();
  DrawConfigList();
}

void SDLGui::RunSelectedMenuRow() {
  switch (configList->GetSelected()) {
    case OperatorMenu::kClearCountersRow:
      ClearCoinCounters();
      break;
    case OperatorMenu::kStatisticsRow:
      ShowStatistics();
      break;
    case OperatorMenu::kAdminCodeRow:
      makeWifiCodeAdmin();
      break;
    case OperatorMenu::kWpsRow:
      ConnectByWps();
      break;
    case OperatorMenu::kConfigtoolRow:
      StartCatalogueTool();
      break;
    case OperatorMenu::kFilesRow:
      OpenFileManager();
      break;
    case OperatorMenu::kSaveRow:
      SaveOperatorSettings();
      break;
    case OperatorMenu::kExitRow:
      CloseOperatorMenu();
      break;
    default:
      break;
  }
  if (dialog == kConfigScreen) DrawConfigList();
}

void SDLGui::CloseOperatorMenu() {
  dialog = kMainScreen;
  redrawMode = kFullRedraw;
}

// Saved at once, so that a power cut cannot bring the old counts back.
void SDLGui::ClearCoinCounters() {
  cashbox->ClearCoinCounters();
  WriteMenuRows();
}

// Coins are credited while the figures are read and shown.
void SDLGui::ShowStatistics() {
  StatisticsScreen statistics(cashbox->LedgerFile(), platform::UnixTime());
  int key = 0;
  while (!statistics.Ready() && !quitRequested && key == 0) {
    UpdateScreenArea(statistics.Draw(screen, genresListFont));
    WaitForKey(platform::Ticks(), kStatisticsPoll, key);
  }
  UpdateScreenArea(statistics.Draw(screen, genresListFont));
  if (key == 0 && !quitRequested) WaitForKey(platform::Ticks(), kStatisticsShown, key);
  DrawAll();
}

// The values apply at once; a file that could not be written is told, not
// passed off as saved.
void SDLGui::SaveOperatorSettings() {
  operatorMenu.Save(*config);
  const bool saved = config->SaveUserConfiguration() == 0;
  if (!saved) std::puts("No se pudo guardar configuser");
  cashbox->NoteSettingsSaved();
  ShowNotice(saved ? "Cambios guardados" : "No se pudieron guardar los cambios", kNoticeTime);
  CloseOperatorMenu();
}

// WPS ---------------------------------------------------------------------

// The request stays on screen through the whole wait, with the time left
// under it; the main screen comes back whole at the end.
void SDLGui::ConnectByWps() {
  ShowMsg("Presionar el boton WPS en tu router/modem", genreFont, 0, false, false);
  StartWpsPairing(config->wifiinterface, config->wpaconfig);
  const bool connected = WaitForWpsConnection();
  if (quitRequested) return;
  if (connected) {
    RenewNetworkAddress();
    ShowNotice("----------- Conexion exitosa -----------", kNoticeTime);
    SaveWirelessConfiguration();
  } else {
    ShowNotice("Fallo al conectar al Wifi", kNoticeTime);
  }
  DrawAll();
}

bool SDLGui::WaitForWpsConnection() {
  for (int check = 0; check < kWpsChecks && !quitRequested; ++check) {
    ShowSecondsLeft((kWpsChecks - check) * kWpsCheckInterval / 1000);
    if (check_wps_state()) return true;
    WaitKeepingInput(kWpsCheckInterval);
  }
  return false;
}

// A strip across the main screen just under the message.
void SDLGui::ShowSecondsLeft(uint32_t seconds) {
  RString text;
  text.sprintf("Tiempo restante: %u s", seconds);
  int textW = 0, textH = 0;
  genreFont.SizeText(text.Chars(), &textW, &textH);
  const SDL_Rect strip = MakeRect(0, skin->height / 2 + 3 * textH / 2, skin->width, textH);
  SDL_Rect fill = strip;
  SDL_FillRect(screen, &fill, SDL_MapRGB(screen->format, 0, 128, 192));
  genreFont.DrawText2(screen, text.Chars(), skin->width / 2 - textW / 2, strip.y, 0);
  UpdateScreenArea(strip);
}

// The file is made anew for each check: a state left from before never
// counts, even when the supplicant's tool cannot be run.
bool SDLGui::check_wps_state() {
  platform::DeleteFile(kWirelessStateFile);
  QueryWirelessState();
  return ReportsWirelessConnection(kWirelessStateFile);
}

// Maintenance programs ------------------------------------------------------

void SDLGui::StartCatalogueTool() {
  if (StartCatalogueToolDetached(config->cabinetuser))
    ShowNotice("Configtool iniciado: el catalogo nuevo se carga al reiniciar", kNoticeTime);
  else
    ShowNotice("No se encontro el programa configtool", kNoticeTime);
}

void SDLGui::OpenFileManager() {
  if (!StartFileManager(config->filemanager))
    ShowNotice("No se encontro el programa " + config->filemanager, kNoticeTime);
}
