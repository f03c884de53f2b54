// The operator menu (screen 5): credits per coin, coin counters, play mode,
// TV output, the wireless connection by WPS, the administrator's Wi-Fi code
// and the maintenance programs.
#include "gui/OperatorMenuScreen.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "config/Configuration.h"
#include "gui/Frame.h"
#include "gui/SDLGui.h"
#include "gui/SdlColour.h"
#include "gui/Skin.h"
#include "gui/StatisticsScreen.h"
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

void OperatorMenuScreen::CreateConfigList() {
  gui.configList = gui.setup.NewList(ConfigListArea(), gui.genresListFont, true);
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) gui.configList->AddItem(OperatorMenu::WidestRow(row));
  gui.configList->SetSelected(0);
  gui.configList->SetPadding(kListPadding, kListPadding);
}

// At least 200 × 380 in the middle of the screen, and large enough for all
// the rows at their widest: a value cut off the list's edge would leave the
// operator guessing.
SDL_Rect OperatorMenuScreen::ConfigListArea() {
  int widest = 0;
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) {
    int width = 0;
    gui.genresListFont.SizeText(OperatorMenu::WidestRow(row), &width, nullptr);
    widest = std::max(widest, width);
  }
  const int w = std::max(kLeastListWidth, widest + 2 * kListPadding + kScrollBarRoom);
  const int h =
      std::max(kLeastListHeight, OperatorMenu::kRowCount * gui.genresListFont.GetFontHeight() + 2 * kListPadding);
  return SDLGui::MakeRect(gui.skin->width / 2 - w / 2, gui.skin->height / 2 - h / 2, w, h);
}

// The menu comes over the main screen drawn whole again, without the
// access sequence's messages; a video window under it steps aside until
// the menu closes.
void OperatorMenuScreen::OpenMenuConfig() {
  if (!gui.CanEnter(SDLGui::kConfigScreen)) return;
  gui.dialog = SDLGui::kConfigScreen;
  menu.Open(*gui.config);
  WriteMenuRows();
  gui.DrawAll();
  gui.video.HideVideoOver(gui.configList->rect);
  DrawConfigList();
}

void OperatorMenuScreen::WriteMenuRows() {
  for (int row = 0; row < OperatorMenu::kRowCount; ++row) {
    if (!OperatorMenu::ShowsValue(row)) continue;
    gui.configList->SetItem(menu.ValueRow(row, *gui.config, gui.cashbox->CoinCount(1), gui.cashbox->CoinCount(2)), row);
  }
}

// The list keeps no backdrop of its own: each drawing starts from the
// genre list's background colour, so no row leaves traces of its old text.
void OperatorMenuScreen::DrawConfigList() {
  const SDL_Color fill = ToSdl(gui.config->listageneros_fondo_color);
  SDL_Surface* surface = gui.configList->GetSurface();
  if (surface != nullptr) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, fill.r, fill.g, fill.b));
  gui.configList->Draw(gui.screen, false);
  gui.UpdateScreenArea(
      DrawFrame(gui.screen, gui.configList->rect, kMenuFrame, ToSdl(gui.config->listageneros_barras_color)));
}

// Alt+F4 and the exit key never get here: they end the program on every
// screen but the main one.
void OperatorMenuScreen::keydown_config(int key) {
  if (SDLGui::KeyIs(key, gui.config->up)) {
    gui.configList->Up();
    DrawConfigList();
  } else if (SDLGui::KeyIs(key, gui.config->down)) {
    gui.configList->Down();
    DrawConfigList();
  }
  // Coins were credited when read; a coin key does nothing else here.
  if (!MenuKey(key)) gui.CommonDialogKey(key, false);
  SDL_Flip(gui.screen);
}

bool OperatorMenuScreen::MenuKey(int key) {
  const Configuration& keys = *gui.config;
  if (SDLGui::KeyIs(key, keys.left))
    StepMenuValue(-1);
  else if (SDLGui::KeyIs(key, keys.right))
    StepMenuValue(1);
  else if (SDLGui::KeyIs(key, keys.menu) || SDLGui::KeyIs(key, keys.cancel))
    CloseOperatorMenu();
  else if (SDLGui::KeyIs(key, keys.enter))
    RunSelectedMenuRow();
  else
    return false;
  return true;
}

void OperatorMenuScreen::StepMenuValue(int step) {
  if (!menu.Step(gui.configList->GetSelected(), step, *gui.config)) return;
  WriteMenuRows();
  DrawConfigList();
}

void OperatorMenuScreen::RunSelectedMenuRow() {
  switch (gui.configList->GetSelected()) {
    case OperatorMenu::kClearCountersRow:
      ClearCoinCounters();
      break;
    case OperatorMenu::kStatisticsRow:
      ShowStatistics();
      break;
    case OperatorMenu::kAdminCodeRow:
      gui.wifiScreen.makeWifiCodeAdmin();
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
  if (gui.dialog == SDLGui::kConfigScreen) DrawConfigList();
}

void OperatorMenuScreen::CloseOperatorMenu() {
  gui.dialog = SDLGui::kMainScreen;
  gui.redrawMode = SDLGui::kFullRedraw;
}

// Saved at once, so that a power cut cannot bring the old counts back.
void OperatorMenuScreen::ClearCoinCounters() {
  gui.cashbox->ClearCoinCounters();
  WriteMenuRows();
}

// Coins are credited while the figures are read and shown.
void OperatorMenuScreen::ShowStatistics() {
  StatisticsScreen statistics(gui.cashbox->LedgerFile(), platform::UnixTime());
  int key = 0;
  while (!statistics.Ready() && !gui.quitRequested && key == 0) {
    gui.UpdateScreenArea(statistics.Draw(gui.screen, gui.genresListFont));
    gui.messageBox.WaitForKey(platform::Ticks(), kStatisticsPoll, key);
  }
  gui.UpdateScreenArea(statistics.Draw(gui.screen, gui.genresListFont));
  if (key == 0 && !gui.quitRequested) gui.messageBox.WaitForKey(platform::Ticks(), kStatisticsShown, key);
  gui.DrawAll();
}

// The values apply at once; a file that could not be written is told, not
// passed off as saved.
void OperatorMenuScreen::SaveOperatorSettings() {
  menu.Save(*gui.config);
  const bool saved = gui.config->SaveUserConfiguration() == 0;
  if (!saved) std::puts("No se pudo guardar configuser");
  gui.cashbox->NoteSettingsSaved();
  gui.messageBox.ShowNotice(saved ? "Cambios guardados" : "No se pudieron guardar los cambios", MessageBox::kNoticeTime);
  CloseOperatorMenu();
}

// WPS ---------------------------------------------------------------------

// The request stays on screen through the whole wait, with the time left
// under it; the main screen comes back whole at the end.
void OperatorMenuScreen::ConnectByWps() {
  gui.messageBox.ShowMsg("Presionar el boton WPS en tu router/modem", gui.genreFont, 0, false, false);
  StartWpsPairing(gui.config->wifiinterface, gui.config->wpaconfig);
  const bool connected = WaitForWpsConnection();
  if (gui.quitRequested) return;
  if (connected) {
    RenewNetworkAddress();
    gui.messageBox.ShowNotice("----------- Conexion exitosa -----------", MessageBox::kNoticeTime);
    SaveWirelessConfiguration();
  } else {
    gui.messageBox.ShowNotice("Fallo al conectar al Wifi", MessageBox::kNoticeTime);
  }
  gui.DrawAll();
}

bool OperatorMenuScreen::WaitForWpsConnection() {
  for (int check = 0; check < kWpsChecks && !gui.quitRequested; ++check) {
    ShowSecondsLeft((kWpsChecks - check) * kWpsCheckInterval / 1000);
    if (check_wps_state()) return true;
    gui.inputs.WaitKeepingInput(kWpsCheckInterval);
  }
  return false;
}

// A strip across the main screen just under the message.
void OperatorMenuScreen::ShowSecondsLeft(uint32_t seconds) {
  RString text;
  text.sprintf("Tiempo restante: %u s", seconds);
  int textW = 0, textH = 0;
  gui.genreFont.SizeText(text.Chars(), &textW, &textH);
  const SDL_Rect strip = SDLGui::MakeRect(0, gui.skin->height / 2 + 3 * textH / 2, gui.skin->width, textH);
  SDL_Rect fill = strip;
  SDL_FillRect(gui.screen, &fill, SDL_MapRGB(gui.screen->format, 0, 128, 192));
  gui.genreFont.DrawText2(gui.screen, text.Chars(), gui.skin->width / 2 - textW / 2, strip.y, 0);
  gui.UpdateScreenArea(strip);
}

// The file is made anew for each check: a state left from before never
// counts, even when the supplicant's tool cannot be run.
bool OperatorMenuScreen::check_wps_state() {
  platform::DeleteFile(kWirelessStateFile);
  QueryWirelessState();
  return ReportsWirelessConnection(kWirelessStateFile);
}

// Maintenance programs ------------------------------------------------------

void OperatorMenuScreen::StartCatalogueTool() {
  if (StartCatalogueToolDetached(gui.config->cabinetuser))
    gui.messageBox.ShowNotice("Configtool iniciado: el catalogo nuevo se carga al reiniciar", MessageBox::kNoticeTime);
  else
    gui.messageBox.ShowNotice("No se encontro el programa configtool", MessageBox::kNoticeTime);
}

void OperatorMenuScreen::OpenFileManager() {
  if (!StartFileManager(gui.config->filemanager))
    gui.messageBox.ShowNotice("No se encontro el programa " + gui.config->filemanager, MessageBox::kNoticeTime);
}
