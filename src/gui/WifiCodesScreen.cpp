// Wi-Fi access codes: the customer's, bought with credits (free outside the
// coin-operated mode) and shown as a QR image until the Wi-Fi system takes
// the image away, and the administrator's.
#include "gui/WifiCodesScreen.h"

#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "programs/ExternalPrograms.h"

namespace {

const char* const kCodeDialog = "images\\codeDialog.png";
const char* const kAdminCodeImage = "CONFIGURATION.png";
// The two texts sit this far above and below the dialog's middle.
const int kTextOffset = 180;
// How long each code stays on screen at most, in ms: shown while the time
// passed is at most this.
const int kCodeShown = 39999;
const int kAdminCodeShown = 19999;

RString CreditsQuestion(int count) {
  RString text;
  text.sprintf(count == 1 ? "Desea usar %d credito para obtener un codigo de wifi?"
                          : "Desea usar %d creditos para obtener un codigo de wifi?",
               count);
  return text;
}

}  // namespace

// up and down change the count within 1 and the balance (coins inserted
// meanwhile count); any other key but enter ends the purchase unpaid.
void WifiCodesScreen::AskWifiCode() {
  codes.StartPurchase();
  int key = 0;
  do {
    key = gui.messageBox.ShowMsg(CreditsQuestion(codes.Credits()), gui.genreFont, -1, true, true);
    std::printf("Tecla: %d\n", key);
    if (SDLGui::KeyIs(key, gui.config->up)) codes.MoreCredits(gui.Credits());
    if (SDLGui::KeyIs(key, gui.config->down)) codes.FewerCredits();
  } while (SDLGui::KeyIs(key, gui.config->up) || SDLGui::KeyIs(key, gui.config->down));
  if (!SDLGui::KeyIs(key, gui.config->enter)) return;
  gui.purchases.Pending().Add(gui.cashbox->BuyWifiCode(codes.Credits()),
                              [this](const Cashbox::Outcome& outcome) { CodeSold(outcome); });
}

void WifiCodesScreen::CodeSold(const Cashbox::Outcome& outcome) {
  if (gui.purchases.TellUnsold(outcome.sale)) return;
  std::printf("Compra: codigo de wifi por %d creditos, quedan %d\n", outcome.paid, outcome.left);
  if (makeWifiCode()) return;
  gui.cashbox->ReturnWifiCode(outcome.paid);
  gui.Panels().DrawCredits(true);
  TellCodeNotMade();
}

bool WifiCodesScreen::makeWifiCode() {
  gui.Panels().DrawCredits(true);
  const RString code = codes.MakeCode();
  const int paid = gui.JukeboxMode() ? codes.Credits() : -1;
  std::printf("Ejecutando: code.py %s %d\n", code.Chars(), paid);
  RunWifiCodeScript(code, paid);
  SDL_Surface* dialogImage = ComposeCodeDialog(codes.LastImage(), "Escanea el codigo con tu celular", code);
  if (dialogImage == nullptr) return false;
  ShowCodeDialog(dialogImage);
  std::printf("Esperando que se consuma codigo %s\n", code.Chars());
  int key = 0;
  gui.messageBox.WaitForKey(platform::Ticks(), kCodeShown, key, [this] { return codes.LastImageExists(); });
  gui.DrawAll();
  return true;
}

// A stale image from an earlier run is never shown for a new code.
void WifiCodesScreen::makeWifiCodeAdmin() {
  gui.Panels().DrawCredits(true);
  std::puts("Crear codigo Admin - Ejecutando: code_configuration.py");
  platform::DeleteFile(kAdminCodeImage);
  RunAdminCodeScript();
  SDL_Surface* dialogImage = ComposeCodeDialog(kAdminCodeImage, "ADMIN CODE (20 segundos)", "");
  if (dialogImage == nullptr) {
    TellCodeNotMade();
    return;
  }
  ShowCodeDialog(dialogImage);
  int key = 0;
  gui.messageBox.WaitForKey(platform::Ticks(), kAdminCodeShown, key);
  gui.DrawAll();
}

SDL_Surface* WifiCodesScreen::ComposeCodeDialog(const RString& image, const RString& caption, const RString& code) {
  SDL_Surface* picture = SDLGui::LoadImageFile(image);
  SDL_Surface* scaled =
      SDLGui::ScaledCopy(picture, static_cast<int>(gui.skin->width * 0.2), static_cast<int>(gui.skin->height * 0.3));
  SDL_FreeSurface(picture);
  SDL_Surface* dialogImage = SDLGui::LoadImageFile(kCodeDialog);
  if (scaled == nullptr || dialogImage == nullptr) {
    std::printf("No se pudo mostrar el codigo: %s\n", image.Chars());
    SDL_FreeSurface(scaled);
    SDL_FreeSurface(dialogImage);
    return nullptr;
  }
  SDL_Rect at = SDLGui::MakeRect(dialogImage->w / 2 - scaled->w / 2, dialogImage->h / 2 - scaled->h / 2, 0, 0);
  SDL_BlitSurface(scaled, nullptr, dialogImage, &at);
  SDL_FreeSurface(scaled);
  PutCodeDialogText(dialogImage, caption, -kTextOffset);
  if (code.GetLength() > 0) PutCodeDialogText(dialogImage, code, kTextOffset);
  return dialogImage;
}

void WifiCodesScreen::PutCodeDialogText(SDL_Surface* dialogImage, const RString& text, int offset) {
  SDL_Surface* rendered = gui.genreFont.DrawText2(nullptr, text.Chars(), 0, 0, 0);
  if (rendered == nullptr) return;
  const int x = dialogImage->w / 2 - rendered->w / 2;
  const int y = dialogImage->h / 2 - rendered->h / 2 + offset;
  std::printf("%dx%d\n", x, y);
  SDL_Rect at = SDLGui::MakeRect(x, y, 0, 0);
  SDL_BlitSurface(rendered, nullptr, dialogImage, &at);
  SDL_FreeSurface(rendered);
}

// The video window would lie above the dialog: it steps aside until the
// full redraw that ends the display places it again.
void WifiCodesScreen::ShowCodeDialog(SDL_Surface* dialogImage) {
  const SDL_Rect area = SDLGui::MakeRect(gui.skin->width / 2 - dialogImage->w / 2,
                                         gui.skin->height / 2 - dialogImage->h / 2, dialogImage->w, dialogImage->h);
  gui.video.HideVideoOver(area);
  SDL_Rect at = area;
  SDL_BlitSurface(dialogImage, nullptr, gui.screen, &at);
  SDL_FreeSurface(dialogImage);
  gui.UpdateScreenArea(area);
}

void WifiCodesScreen::TellCodeNotMade() { gui.messageBox.ShowNotice("No se pudo generar el codigo de wifi", MessageBox::kNoticeTime); }
