#include "gui/NoMediaScreen.h"

#include <algorithm>
#include <cstdio>

#include "config/Configuration.h"
#include "gui/InputSource.h"
#include "gui/SdlColour.h"
#include "gui/Skin.h"
#include "state/Cashbox.h"

namespace {

const char* const kFontFile = "arial.ttf";
// The message box of every message of the program.
const int kBoxMargin = 20;
const int kLineGap = 8;

}  // namespace

NoMediaScreen::NoMediaScreen(const Configuration& config, const Skin& skin, Cashbox& cashbox)
    : config_(config), skin_(skin), cashbox_(cashbox) {}

NoMediaScreen::~NoMediaScreen() {
  if (screen_ != nullptr) SDL_Quit();
}

std::vector<RString> NoMediaScreen::Message(const RString& mediaFolder) const {
  std::vector<RString> lines{"No hay contenido multimedia"};
  if (mediaFolder.GetLength() == 0) {
    lines.emplace_back("La configuracion no nombra ninguna carpeta de medios.");
    lines.emplace_back("Agregue la linea mediacontent=media al archivo configuration");
  } else {
    lines.emplace_back(RString("Copie los albumes en la carpeta ") + mediaFolder + ",");
    lines.emplace_back("una carpeta por genero y dentro una por album,");
  }
  lines.emplace_back("y reinicie el equipo.");
  RString credits;
  credits.sprintf("Creditos: %d", cashbox_.Credits());
  lines.push_back(credits);
  return lines;
}

bool NoMediaScreen::Show(const RString& mediaFolder) {
  mediaFolder_ = mediaFolder;
  if (!Open()) return false;
  Draw();
  return true;
}

void NoMediaScreen::Run() {
  SDL_Event event;
  while (SDL_WaitEvent(&event) && Handle(event)) {
  }
}

bool NoMediaScreen::Open() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::printf("Video initialization failed: %s\n", SDL_GetError());
    return false;
  }
  screen_ = SDL_SetVideoMode(skin_.width, skin_.height, 32, SDL_NOFRAME);
  SDL_WM_SetCaption("Melodeck", "");
  SDL_ShowCursor(SDL_DISABLE);
  if (screen_ == nullptr) {
    std::printf("Video mode set failed: %s\n", SDL_GetError());
    return false;
  }
  if (writer_.LoadFont(kFontFile, ToSdl(config_.genero_color), static_cast<unsigned>(config_.genero_size))) return true;
  std::printf("No se pudo cargar la fuente %s\n", kFontFile);
  return false;
}

bool NoMediaScreen::Handle(const SDL_Event& event) {
  if (InputSource::IsQuitRequest(event, config_.exit)) return false;
  if (event.type == SDL_KEYUP && config_.CoinInput(event.key.keysym.sym) != 0) {
    cashbox_.CreditCoin(config_.CoinInput(event.key.keysym.sym));
    Draw();
  } else if (event.type == SDL_VIDEOEXPOSE) {
    Draw();
  }
  return true;
}

// Black, and the lines centred in a box of the program's message colour.
void NoMediaScreen::Draw() {
  if (screen_ == nullptr) return;
  const std::vector<RString> lines = Message(mediaFolder_);
  std::vector<int> widths;
  int lineHeight = 0;
  for (const RString& line : lines) {
    int w = 0, h = 0;
    writer_.SizeText(line.Chars(), &w, &h);
    widths.push_back(w);
    lineHeight = std::max(lineHeight, h + kLineGap);
  }
  const int width = skin_.width, height = skin_.height;
  const int boxW = std::min(*std::max_element(widths.begin(), widths.end()) + 2 * kBoxMargin, width);
  const int boxH = static_cast<int>(lines.size()) * lineHeight - kLineGap + 2 * kBoxMargin;
  SDL_Rect box{static_cast<Sint16>((width - boxW) / 2), static_cast<Sint16>((height - boxH) / 2),
               static_cast<Uint16>(boxW), static_cast<Uint16>(boxH)};
  SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 0, 0, 0));
  SDL_FillRect(screen_, &box, SDL_MapRGB(screen_->format, 0, 128, 192));
  for (size_t i = 0; i < lines.size(); ++i) {
    const int x = std::max(0, (width - widths[i]) / 2), y = box.y + kBoxMargin + static_cast<int>(i) * lineHeight;
    writer_.DrawText2(screen_, lines[i].Chars(), static_cast<unsigned>(x), static_cast<unsigned>(y),
                      static_cast<unsigned>(width));
  }
  SDL_Flip(screen_);
}
