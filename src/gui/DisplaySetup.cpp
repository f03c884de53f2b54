// Display set-up: video mode, writers, surfaces, lists, images, the video
// window and the TV-out picture.
#include "gui/DisplaySetup.h"

#include <SDL_image.h>
#include <SDL_rotozoom.h>

#include <cstdio>
#include <string>

#include "base/RDir.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/SdlColour.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/System.h"

namespace {

const char* const kFontFile = "arial.ttf";
const int kKeyHighlightWidths[3] = {64, 148, 316};
const int kKeyHighlightHeight = 64;
const Uint8 kKeyHighlightAlpha = 150;

// The scaled copy always carries an alpha channel. A picture without any
// transparency of its own (the skin background, photos) is copied rather
// than blended: blending even fully opaque pixels lets what lay under them
// show through by one level. It is kept in the screen's own format, where
// a copy is a plain one: converting the scaler's channel order pixel by
// pixel made each full-screen background take about 10 ms.
SDL_Surface* ScaledImage(SDL_Surface* image, int width, int height) {
  const bool opaque = image->format->Amask == 0 && (image->flags & SDL_SRCCOLORKEY) == 0;
  SDL_Surface* scaled =
      zoomSurface(image, static_cast<double>(width) / image->w, static_cast<double>(height) / image->h, SMOOTHING_ON);
  SDL_FreeSurface(image);
  if (scaled == nullptr || !opaque) return scaled;
  SDL_SetAlpha(scaled, 0, SDL_ALPHA_OPAQUE);
  SDL_Surface* plain = SDL_DisplayFormat(scaled);
  if (plain == nullptr) return scaled;
  SDL_FreeSurface(scaled);
  return plain;
}

// A picture of the cabinet's own, else the program's default.
SDL_Surface* LoadUnscaled(const char* file) { return IMG_Load(platform::DefaultableFileHostPath(file).c_str()); }

// A translucent red key highlight of the on-screen keyboard.
SDL_Surface* NewKeyHighlight(int width) {
  SDL_Surface* highlight = SDL_CreateRGBSurface(SDL_SRCALPHA, width, kKeyHighlightHeight, 32, 0, 0, 0, 0);
  if (highlight == nullptr) return nullptr;
  SDL_FillRect(highlight, nullptr, SDL_MapRGB(highlight->format, 255, 0, 0));
  SDL_SetAlpha(highlight, SDL_SRCALPHA, kKeyHighlightAlpha);
  return highlight;
}

}  // namespace

int DisplaySetup::OpenDisplay() {
  // With a window system at hand it is the only acceptable one: SDL would
  // otherwise fall back to a text-mode driver when the window system is
  // briefly unreachable, and the cabinet would show nothing.
  if (platform::GetEnv("SDL_VIDEODRIVER").empty() && !platform::GetEnv("DISPLAY").empty())
    platform::SetEnv("SDL_VIDEODRIVER", "x11");
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::printf("Video initialization failed: %s\n", SDL_GetError());
    return 0;
  }
  gui.sdlStarted_ = true;
  // The image loaders start here, before the cover worker can decode: left
  // to their first use they would start on whichever thread came first.
  IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (info == nullptr) {
    std::printf("Video query failed: %s\n", SDL_GetError());
    return 0;
  }
  videoModeFlags = SDL_HWPALETTE | SDL_RESIZABLE | SDL_NOFRAME;
  if (info->hw_available) videoModeFlags |= SDL_HWSURFACE;
  if (info->blit_hw) videoModeFlags |= SDL_HWACCEL;

  PlaceWindowOnPrimaryMonitor();
  int width = gui.skin->width;
  const int height = gui.skin->height;
  if (gui.config->tvout) {
    width += gui.config->tvoutxres;
    std::printf("VENTANA DOBLE: %d x %d\n", width, height);
  }
  gui.screen = SDL_SetVideoMode(width, height, 32, videoModeFlags);
  if (gui.screen == nullptr) {
    std::printf("Video mode set failed: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

// The jukebox's screen starts at the primary monitor's corner; the TV-out
// area beside it reaches the TV only when that monitor lies to its right.
void DisplaySetup::PlaceWindowOnPrimaryMonitor() {
  const std::vector<platform::Monitor> monitors = platform::Monitors();
  const platform::Monitor* primary = platform::PrimaryMonitor(monitors);
  if (primary == nullptr) return;
  platform::SetEnv("SDL_VIDEO_WINDOW_POS", std::to_string(primary->x) + "," + std::to_string(primary->y));
  if (gui.config->tvout && monitors.size() > 1 && !platform::HasMonitorRightOf(monitors, *primary))
    std::puts("Salida de TV: el monitor de TV debe estar a la derecha de la pantalla principal");
}

bool DisplaySetup::LoadWriters() {
  struct WriterSpec {
    SDL_TTFWriter& writer;
    int32_t size;
    SDL_Color color;
  };
  const SDL_Color keyboardColor = gui.config->phonekeyboard ? SDL_Color{255, 255, 255, 0} : SDL_Color{0, 0, 0, 0};
  const WriterSpec writers[] = {
      {gui.genreFont, gui.config->genero_size, ToSdl(gui.config->genero_color)},
      {gui.titlesFont, gui.config->titulos_size, ToSdl(gui.config->titulos_color)},
      {gui.tracksFont, gui.config->canciones_size, ToSdl(gui.config->canciones_color)},
      {gui.playingFont, gui.config->reproduccion_size, ToSdl(gui.config->reproduccion_color)},
      {gui.queueFont, gui.config->cola_size, ToSdl(gui.config->cola_color)},
      {gui.modeFont, gui.config->modouso_size, ToSdl(gui.config->modouso_color)},
      {gui.genresListFont, gui.config->listageneros_size, ToSdl(gui.config->listageneros_color)},
      {gui.alphabetFont, gui.config->alfanumerico_size, ToSdl(gui.config->alfanumerico_color)},
      {gui.marqueeFont, gui.config->marquee_size, ToSdl(gui.config->marquee_color)},
      {gui.keyboardFont, 44, keyboardColor},
  };
  for (const WriterSpec& spec : writers) {
    if (spec.writer.LoadFont(kFontFile, spec.color, static_cast<unsigned>(spec.size))) continue;
    std::printf("No se pudo cargar la fuente %s, terminando programa\n", kFontFile);
    return false;
  }
  return true;
}

std::unique_ptr<ListBox> DisplaySetup::NewList(const SDL_Rect& area, SDL_TTFWriter& writer, bool withBar) {
  auto list = std::make_unique<ListBox>(area, &writer);
  if (withBar) list->SetVerticalBarColor(ToSdl(gui.config->listageneros_barras_color));
  return list;
}

int DisplaySetup::ReserveSurfaces() {
  gui.genreSave.reset(SDLGui::NewSurface(gui.skin->wgenre, gui.skin->hgenre));
  gui.coversSave.reset(SDLGui::NewSurface(gui.skin->wcovers, gui.skin->hcovers));
  gui.titlesSave.reset(SDLGui::NewSurface(gui.skin->wtitles, gui.skin->htitles));
  gui.creditsSave.reset(SDLGui::NewSurface(gui.skin->wcredits, gui.skin->hcredits));
  gui.playingSave.reset(SDLGui::NewSurface(gui.skin->winfo, gui.skin->hinfo));
  gui.volumeSave.reset(SDLGui::NewSurface(gui.skin->wvolumen, gui.skin->hvolumen));
  gui.coverMediaSave.reset(SDLGui::NewSurface(gui.skin->wmedia, gui.skin->hmedia));
  gui.marqueeSave.reset(SDLGui::NewSurface(gui.skin->wmarquee, gui.skin->hmarquee));
  for (int i = 0; i < 3; ++i) gui.keyHighlights[i].reset(NewKeyHighlight(kKeyHighlightWidths[i]));

  gui.tracksList = NewList(
      SDLGui::MakeRect(gui.skin->xtrackslist, gui.skin->ytrackslist, gui.skin->wtrackslist, gui.skin->htrackslist),
      gui.tracksFont, false);
  gui.tracksList->SetVerticalBarColor(ToSdl(gui.config->canciones_barras_color));

  LoadDialogImage("images\\genresdialog.png", gui.genresDialogImage, gui.genresDialogSave);
  LoadDialogImage("images\\resultDialog.png", gui.resultDialogImage, gui.resultDialogSave);
  LoadDialogImage("images\\jumpdialog.png", gui.jumpDialogImage, gui.jumpDialogSave);
  gui.genresScreen.CenterGenresListOnDialog();

  gui.genresList = NewList(SDLGui::MakeRect(gui.skin->xgenreslist, gui.skin->ygenreslist, gui.skin->wgenreslist,
                                            gui.skin->hgenreslist - 110),
                           gui.genresListFont, true);
  gui.genresList->SetPadding(20, 65);

  gui.queueList = NewList(SDLGui::MakeRect(gui.skin->xqueue, gui.skin->yqueue, gui.skin->wqueue, gui.skin->hqueue),
                          gui.queueFont, false);
  gui.queueList->SetSelected(-1);

  const int resultsW = gui.resultDialogImage != nullptr ? gui.resultDialogImage->w : 0;
  const int resultsH = gui.resultDialogImage != nullptr ? gui.resultDialogImage->h : 0;
  gui.resultsList =
      NewList(SDLGui::MakeRect(512 - resultsW / 2, 384 - resultsH / 2, resultsW, resultsH), gui.genresListFont, true);
  gui.resultsList->SetPadding(30, 65);

  gui.menuScreen.CreateConfigList();
  return gui.genresScreen.CreateGenresList();
}

// A dialog image, unscaled, with a save surface of its size.
void DisplaySetup::LoadDialogImage(const char* file, Surface& image, Surface& save) {
  image.reset(LoadUnscaled(file));
  save.reset(image != nullptr ? SDLGui::NewSurface(image->w, image->h) : nullptr);
}

bool DisplaySetup::LoadImage(const ImageSpec& image) {
  SDL_Surface* loaded = LoadUnscaled(image.file.Chars());
  if (loaded == nullptr) {
    if (image.missing != nullptr) std::printf(image.missing, SDL_GetError());
    return false;
  }
  if (image.width > 0 && image.height > 0) loaded = ScaledImage(loaded, image.width, image.height);
  image.slot->reset(loaded);
  return true;
}

template <size_t N>
bool DisplaySetup::LoadAll(const ImageSpec (&images)[N]) {
  for (const ImageSpec& image : images) {
    if (!LoadImage(image)) return false;
  }
  return true;
}

bool DisplaySetup::LoadImages() {
  const int W = gui.skin->width;
  const int H = gui.skin->height;
  gui.coverSurface.reset(nullptr);
  const ImageSpec screens[] = {
      {"skins\\" + gui.config->skinname + ".jpg", &gui.background, W, H, "Error al cargar skin.jpg : %s\n"},
      {"images\\defaultcover.jpg", &gui.coverSurface, gui.skin->wcover, gui.skin->hcovers,
       "Error al cargar defaultcover.jpg : %s\n"},
      {"images\\teclado.png", &gui.keyboardImage, 0, 0, "Error al cargar teclado.png : %s\n"},
      {"images\\searchphone.png", &gui.searchPhoneImage, 0, 0, "Error al cargar searchphone.png : %s\n"},
  };
  if (!LoadAll(screens)) return false;
  gui.searchPhoneSave.reset(SDLGui::NewSurface(gui.searchPhoneImage->w, gui.searchPhoneImage->h));
  CreateSearcherLists();

  if (gui.config->tvout && !LoadImage({"images\\fondo_tv.jpg", &gui.tvOutImage, gui.config->tvoutxres,
                                       gui.config->tvoutyres, "Error al cargar fondo_tv.jpg : %s\n"}))
    return false;

  const char* const gears[] = {"images\\gear-icon_32x32.png", "images\\gear-icon_32x32_2.png",
                               "images\\gear-icon-red_32x32.png", "images\\gear-icon-red_32x32_2.png"};
  for (int i = 0; i < 4; ++i) LoadImage({gears[i], &gui.gearIcons[i], 0, 0, nullptr});

  const ImageSpec controls[] = {
      {"images\\aceptar.png", &gui.buttonImages[1], 128, 70, "Error al cargar button_aceptar.png: %s\n"},
      {"images\\menu.png", &gui.buttonImages[0], 128, 70, "Error al cargar button_menu.png: %s\n"},
      {"images\\flecha_izquierda.png", &gui.buttonImages[2], 128, 128, "Error al cargar flecha_izquierda.png: %s\n"},
      {"images\\flecha_derecha.png", &gui.buttonImages[3], 128, 128, "Error al cargar flecha_derecha.png: %s\n"},
      {"images\\flecha_arriba.png", &gui.buttonImages[4], 90, 90, "Error al cargar flecha_arriba.png: %s\n"},
      {"images\\flecha_abajo.png", &gui.buttonImages[5], 90, 90, "Error al cargar flecha_abajo.png: %s\n"},
      {"images\\back.png", &gui.backImage, 96, 96, "Error al cargar back.png: %s\n"},
      {"images\\onlineicon.png", &gui.onlineIcon, 40, 40, "Error al cargar onlineicon.png: %s\n"},
      {"images\\offlineicon.png", &gui.offlineIcon, 40, 40, "Error al cargar offlineicon.png: %s\n"},
      {"images\\05KARAOKE.jpg", &gui.karaokeImage05, 1024, 768, "Error al cargar 05KARAOKE.jpg : %s\n"},
      {"images\\610KARAOKE.jpg", &gui.karaokeImage610, 1024, 768, "Error al cargar 610KARAOKE.jpg : %s\n"},
  };
  if (!LoadAll(controls)) return false;

  for (int digit = 0; digit < 10; ++digit) {
    RString file;
    file.sprintf("images\\%d.png", digit);
    if (!LoadImage({file, &gui.digitImages[digit], 250, 200, "Error al cargar : %s\n"})) return false;
  }
  return true;
}

// The searcher's two result lists, laid out on the searcher image.
void DisplaySetup::CreateSearcherLists() {
  const int W = gui.skin->width;
  const int H = gui.skin->height;
  const int w = gui.searchPhoneImage->w;
  const int h = gui.searchPhoneImage->h;
  gui.localResultsList = NewList(SDLGui::MakeRect(W / 2 - w / 2 + 110, H / 2 - h / 2 + 140, w / 2 - 120, h - 300),
                                 gui.genresListFont, true);
  gui.localResultsList->SetSelected(-1);
  gui.onlineResultsList =
      NewList(SDLGui::MakeRect(W / 2 + 10, H / 2 - h / 2 + 140, w / 2 - 110, h - 300), gui.genresListFont, true);
  gui.onlineResultsList->SetSelected(-1);
}

void DisplaySetup::PlaceCursor() {
  if (!gui.config->touchscreen) SDL_ShowCursor(SDL_DISABLE);
  SDL_WarpMouse(static_cast<Uint16>(gui.skin->width / 2), static_cast<Uint16>(gui.skin->height / 2));
}

// The TV-out picture right of the main screen, its clocks, and the
// advertising images it will cycle through.
void DisplaySetup::PrepareTvOut() {
  gui.marquee.TvMoved(platform::Ticks());
  SDL_Rect at = SDLGui::MakeRect(gui.skin->width, 0, 0, 0);
  SDL_BlitSurface(gui.tvOutImage, nullptr, gui.screen, &at);
  gui.UpdateScreenArea(SDLGui::MakeRect(gui.skin->width, 0, gui.config->tvoutxres, gui.skin->height));
  gui.marquee.NextAdvertising(platform::Ticks());
  ListAdvertising();
}

void DisplaySetup::ListAdvertising() {
  RDir folder("publicidad");
  char name[1024];
  while (folder.GetFile(name, sizeof name)) {
    if (name[0] != '.') gui.marquee.AddAdvertising(name);
  }
}

int DisplaySetup::CreatePlayerWindow() {
  gui.mainWindow = SdlWindowHandle();
  const int width = gui.skin->width + (gui.config->tvout ? gui.config->tvoutxres : 0);
  PlaceSdlWindow(width, gui.skin->height);
  ShowSdlWindow();

  const SDL_Rect area = gui.config->tvout
                            ? SDLGui::MakeRect(gui.skin->width, 0, gui.config->tvoutxres, gui.config->tvoutyres)
                            : SDLGui::MakeRect(gui.skin->xmedia, gui.skin->ymedia, gui.skin->wmedia, gui.skin->hmedia);
  std::unique_ptr<VideoWindow> window = VideoWindow::Create(area);
  if (window == nullptr) return 0;
  // A child window never takes the keyboard focus from SDL's window here.
  window->Show();
  const std::lock_guard<std::mutex> lock(gui.stateMutex);
  gui.playerWindow = std::move(window);
  return 1;
}
