// Display set-up: database file, video mode, writers, surfaces, images and
// the state restored at start; the running-time counter and the online
// indicator.
#include <SDL_image.h>
#include <SDL_rotozoom.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/RDir.h"
#include "base/RTextFile.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/SdlColour.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "playback/Player.h"

namespace {

const char* const kFontFile = "arial.ttf";
const char* const kRunningTimeFile = "exectime.txt";
const char* const kServerStatusFile = "serverstatus";
const char* const kServiceReminder =
    "El equipo requiere servicio, llame al 01 555 010 00 00. Presionar tecla para continuar";
// The running-time counter is read from its first 30 characters.
const uint32_t kRunningTimeDigits = 30;

const int kKeyRepeatDelay = 200;
const int kKeyRepeatInterval = 60;
const uint32_t kSettleDelay = 1000;
const int kKeyHighlightWidths[3] = {64, 148, 316};
const int kKeyHighlightHeight = 64;
const Uint8 kKeyHighlightAlpha = 150;


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

// The scaled copy always carries an alpha channel. A picture without any
// transparency of its own (the skin background, photos) is copied rather
// than blended: blending even fully opaque pixels lets what lay under them
// show through by one level.
SDL_Surface* ScaledImage(SDL_Surface* image, int width, int height) {
  const bool opaque = image->format->Amask == 0 && (image->flags & SDL_SRCCOLORKEY) == 0;
  SDL_Surface* scaled = zoomSurface(image, static_cast<double>(width) / image->w,
                                    static_cast<double>(height) / image->h, SMOOTHING_ON);
  SDL_FreeSurface(image);
  if (scaled != nullptr && opaque) SDL_SetAlpha(scaled, 0, SDL_ALPHA_OPAQUE);
  return scaled;
}

// A picture of the cabinet's own, else the program's default.
SDL_Surface* LoadUnscaled(const char* file) {
  return IMG_Load(platform::DefaultableFileHostPath(file).c_str());
}

// A translucent red key highlight of the on-screen keyboard.
SDL_Surface* NewKeyHighlight(int width) {
  SDL_Surface* highlight =
      SDL_CreateRGBSurface(SDL_SRCALPHA, width, kKeyHighlightHeight, 32, 0, 0, 0, 0);
  if (highlight == nullptr) return nullptr;
  SDL_FillRect(highlight, nullptr, SDL_MapRGB(highlight->format, 255, 0, 0));
  SDL_SetAlpha(highlight, SDL_SRCALPHA, kKeyHighlightAlpha);
  return highlight;
}

}  // namespace

SDLGui::SDLGui(Queue* playQueue) : queue(playQueue) { marquee.Drawn(platform::Ticks()); }

SDLGui::~SDLGui() {
  // The player draws into the video window: it stops before the window goes.
  if (player != nullptr) player->ReleaseGui();
  playerWindow.reset();
  tracksList.reset();
  genresList.reset();
  queueList.reset();
  resultsList.reset();
  configList.reset();
  localResultsList.reset();
  onlineResultsList.reset();
  coverRing.Empty();
  // Pictures go before SDL does.
  Images() = ScreenImages();
  coverPlaceholder.reset();
  marquee.Forget();
  coinSound.reset();
  if (sdlStarted_) SDL_Quit();
}

SDL_Rect SDLGui::MakeRect(int x, int y, int w, int h) {
  return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w > 0 ? w : 0),
          static_cast<Uint16>(h > 0 ? h : 0)};
}

SDL_Surface* SDLGui::NewSurface(int w, int h) {
  return SDL_CreateRGBSurface(0, w > 0 ? w : 0, h > 0 ? h : 0, 32, 0, 0, 0, 0);
}

int SDLGui::initialize(Skin* guiSkin, MainLibrary* mainLibrary, Player* mediaPlayer,
                       Configuration* configuration) {
  lastOnlineCheck = platform::Ticks();
  config = configuration;
  skin = guiSkin;
  library = mainLibrary;
  player = mediaPlayer;
  videoModeFlags = 0;
  if (!OpenDisplay()) return 0;
  idleSince = platform::Ticks();
  if (!LoadWriters()) return 0;
  SDL_EnableKeyRepeat(kKeyRepeatDelay, kKeyRepeatInterval);
  platform::Delay(kSettleDelay);
  ReserveSurfaces();
  LoadImages();
  SDL_WM_SetCaption("Melodeck", "");
  CreatePlayerWindow();
  RestoreSavedState();
  if (config->volumen >= 0) ApplyVolume(config->volumen);
  PlaceCursor();
  if (config->tvout) PrepareTvOut();
  if (config->periodoservicio != 0) RemindServiceWhenDue();
  ShowSdlWindow();
  readyAt = platform::Ticks();
  return 1;
}

int SDLGui::OpenDisplay() {
  // With a window system at hand it is the only acceptable one: SDL would
  // otherwise fall back to a text-mode driver when the window system is
  // briefly unreachable, and the cabinet would show nothing.
  if (platform::GetEnv("SDL_VIDEODRIVER").empty() && !platform::GetEnv("DISPLAY").empty())
    platform::SetEnv("SDL_VIDEODRIVER", "x11");
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::printf("Video initialization failed: %s\n", SDL_GetError());
    return 0;
  }
  sdlStarted_ = true;
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (info == nullptr) {
    std::printf("Video query failed: %s\n", SDL_GetError());
    return 0;
  }
  videoModeFlags = SDL_HWPALETTE | SDL_RESIZABLE | SDL_NOFRAME;
  if (info->hw_available) videoModeFlags |= SDL_HWSURFACE;
  if (info->blit_hw) videoModeFlags |= SDL_HWACCEL;

  PlaceWindowOnPrimaryMonitor();
  int width = skin->width;
  const int height = skin->height;
  if (config->tvout) {
    width += config->tvoutxres;
    std::printf("VENTANA DOBLE: %d x %d\n", width, height);
  }
  screen = SDL_SetVideoMode(width, height, 32, videoModeFlags);
  if (screen == nullptr) {
    std::printf("Video mode set failed: %s\n", SDL_GetError());
    return 0;
  }
  return 1;
}

// The jukebox's screen starts at the primary monitor's corner; the TV-out
// area beside it reaches the TV only when that monitor lies to its right.
void SDLGui::PlaceWindowOnPrimaryMonitor() {
  const std::vector<platform::Monitor> monitors = platform::Monitors();
  const platform::Monitor* primary = platform::PrimaryMonitor(monitors);
  if (primary == nullptr) return;
  platform::SetEnv("SDL_VIDEO_WINDOW_POS", std::to_string(primary->x) + "," + std::to_string(primary->y));
  if (config->tvout && monitors.size() > 1 && !platform::HasMonitorRightOf(monitors, *primary))
    std::puts("Salida de TV: el monitor de TV debe estar a la derecha de la pantalla principal");
}

bool SDLGui::LoadWriters() {
  struct WriterSpec {
    SDL_TTFWriter& writer;
    int32_t size;
    SDL_Color color;
  };
  const SDL_Color keyboardColor =
      config->phonekeyboard ? SDL_Color{255, 255, 255, 0} : SDL_Color{0, 0, 0, 0};
  const WriterSpec writers[] = {
      {genreFont, config->genero_size, ToSdl(config->genero_color)},
      {titlesFont, config->titulos_size, ToSdl(config->titulos_color)},
      {tracksFont, config->canciones_size, ToSdl(config->canciones_color)},
      {playingFont, config->reproduccion_size, ToSdl(config->reproduccion_color)},
      {queueFont, config->cola_size, ToSdl(config->cola_color)},
      {modeFont, config->modouso_size, ToSdl(config->modouso_color)},
      {genresListFont, config->listageneros_size, ToSdl(config->listageneros_color)},
      {alphabetFont, config->alfanumerico_size, ToSdl(config->alfanumerico_color)},
      {marqueeFont, config->marquee_size, ToSdl(config->marquee_color)},
      {keyboardFont, 44, keyboardColor},
  };
  for (const WriterSpec& spec : writers) {
    if (spec.writer.LoadFont(kFontFile, spec.color, static_cast<unsigned>(spec.size))) continue;
    std::printf("No se pudo cargar la fuente %s, terminando programa\n", kFontFile);
    return false;
  }
  return true;
}

std::unique_ptr<ListBox> SDLGui::NewList(const SDL_Rect& area, SDL_TTFWriter& writer,
                                         bool withBar) {
  auto list = std::make_unique<ListBox>(area, &writer);
  if (withBar) list->SetVerticalBarColor(ToSdl(config->listageneros_barras_color));
  return list;
}

int SDLGui::ReserveSurfaces() {
  genreSave.reset(NewSurface(skin->wgenre, skin->hgenre));
  coversSave.reset(NewSurface(skin->wcovers, skin->hcovers));
  titlesSave.reset(NewSurface(skin->wtitles, skin->htitles));
  creditsSave.reset(NewSurface(skin->wcredits, skin->hcredits));
  playingSave.reset(NewSurface(skin->winfo, skin->hinfo));
  volumeSave.reset(NewSurface(skin->wvolumen, skin->hvolumen));
  coverMediaSave.reset(NewSurface(skin->wmedia, skin->hmedia));
  marqueeSave.reset(NewSurface(skin->wmarquee, skin->hmarquee));
  for (int i = 0; i < 3; ++i) keyHighlights[i].reset(NewKeyHighlight(kKeyHighlightWidths[i]));

  tracksList = NewList(
      MakeRect(skin->xtrackslist, skin->ytrackslist, skin->wtrackslist, skin->htrackslist),
      tracksFont, false);
  tracksList->SetVerticalBarColor(ToSdl(config->canciones_barras_color));

  LoadDialogImage("images\\genresdialog.png", genresDialogImage, genresDialogSave);
  LoadDialogImage("images\\resultDialog.png", resultDialogImage, resultDialogSave);
  LoadDialogImage("images\\jumpdialog.png", jumpDialogImage, jumpDialogSave);
  genresScreen.CenterGenresListOnDialog();

  genresList = NewList(MakeRect(skin->xgenreslist, skin->ygenreslist, skin->wgenreslist,
                                skin->hgenreslist - 110),
                       genresListFont, true);
  genresList->SetPadding(20, 65);

  queueList = NewList(MakeRect(skin->xqueue, skin->yqueue, skin->wqueue, skin->hqueue),
                      queueFont, false);
  queueList->SetSelected(-1);

  const int resultsW = resultDialogImage != nullptr ? resultDialogImage->w : 0;
  const int resultsH = resultDialogImage != nullptr ? resultDialogImage->h : 0;
  resultsList = NewList(MakeRect(512 - resultsW / 2, 384 - resultsH / 2, resultsW, resultsH),
                        genresListFont, true);
  resultsList->SetPadding(30, 65);

  menuScreen.CreateConfigList();
  return genresScreen.CreateGenresList();
}

// A dialog image, unscaled, with a save surface of its size.
void SDLGui::LoadDialogImage(const char* file, Surface& image, Surface& save) {
  image.reset(LoadUnscaled(file));
  save.reset(image != nullptr ? NewSurface(image->w, image->h) : nullptr);
}

bool SDLGui::LoadImage(const ImageSpec& image) {
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
bool SDLGui::LoadAll(const ImageSpec (&images)[N]) {
  for (const ImageSpec& image : images) {
    if (!LoadImage(image)) return false;
  }
  return true;
}

bool SDLGui::LoadImages() {
  const int W = skin->width;
  const int H = skin->height;
  coverSurface.reset(nullptr);
  const ImageSpec screens[] = {
      {"skins\\" + config->skinname + ".jpg", &background, W, H,
       "Error al cargar skin.jpg : %s\n"},
      {"images\\defaultcover.jpg", &coverSurface, skin->wcover, skin->hcovers,
       "Error al cargar defaultcover.jpg : %s\n"},
      {"images\\teclado.png", &keyboardImage, 0, 0, "Error al cargar teclado.png : %s\n"},
      {"images\\searchphone.png", &searchPhoneImage, 0, 0,
       "Error al cargar searchphone.png : %s\n"},
  };
  if (!LoadAll(screens)) return false;
  searchPhoneSave.reset(NewSurface(searchPhoneImage->w, searchPhoneImage->h));
  CreateSearcherLists();

  if (config->tvout &&
      !LoadImage({"images\\fondo_tv.jpg", &tvOutImage, config->tvoutxres, config->tvoutyres,
                  "Error al cargar fondo_tv.jpg : %s\n"}))
    return false;

  const char* const gears[] = {"images\\gear-icon_32x32.png", "images\\gear-icon_32x32_2.png",
                               "images\\gear-icon-red_32x32.png",
                               "images\\gear-icon-red_32x32_2.png"};
  for (int i = 0; i < 4; ++i) LoadImage({gears[i], &gearIcons[i], 0, 0, nullptr});

  const ImageSpec controls[] = {
      {"images\\aceptar.png", &buttonImages[1], 128, 70,
       "Error al cargar button_aceptar.png: %s\n"},
      {"images\\menu.png", &buttonImages[0], 128, 70, "Error al cargar button_menu.png: %s\n"},
      {"images\\flecha_izquierda.png", &buttonImages[2], 128, 128,
       "Error al cargar flecha_izquierda.png: %s\n"},
      {"images\\flecha_derecha.png", &buttonImages[3], 128, 128,
       "Error al cargar flecha_derecha.png: %s\n"},
      {"images\\flecha_arriba.png", &buttonImages[4], 90, 90,
       "Error al cargar flecha_arriba.png: %s\n"},
      {"images\\flecha_abajo.png", &buttonImages[5], 90, 90,
       "Error al cargar flecha_abajo.png: %s\n"},
      {"images\\back.png", &backImage, 96, 96, "Error al cargar back.png: %s\n"},
      {"images\\onlineicon.png", &onlineIcon, 40, 40, "Error al cargar onlineicon.png: %s\n"},
      {"images\\offlineicon.png", &offlineIcon, 40, 40, "Error al cargar offlineicon.png: %s\n"},
      {"images\\05KARAOKE.jpg", &karaokeImage05, 1024, 768,
       "Error al cargar 05KARAOKE.jpg : %s\n"},
      {"images\\610KARAOKE.jpg", &karaokeImage610, 1024, 768,
       "Error al cargar 610KARAOKE.jpg : %s\n"},
  };
  if (!LoadAll(controls)) return false;

  for (int digit = 0; digit < 10; ++digit) {
    RString file;
    file.sprintf("images\\%d.png", digit);
    if (!LoadImage({file, &digitImages[digit], 250, 200, "Error al cargar : %s\n"})) return false;
  }
  return true;
}

// The searcher's two result lists, laid out on the searcher image.
void SDLGui::CreateSearcherLists() {
  const int W = skin->width;
  const int H = skin->height;
  const int w = searchPhoneImage->w;
  const int h = searchPhoneImage->h;
  localResultsList = NewList(MakeRect(W / 2 - w / 2 + 110, H / 2 - h / 2 + 140, w / 2 - 120, h - 300),
                             genresListFont, true);
  localResultsList->SetSelected(-1);
  onlineResultsList = NewList(MakeRect(W / 2 + 10, H / 2 - h / 2 + 140, w / 2 - 110, h - 300),
                              genresListFont, true);
  onlineResultsList->SetSelected(-1);
}

// A volume configured in "configuration" wins over the one saved at the
// last run; -1 means that none was configured.
void SDLGui::RestoreSavedState() {
  const int32_t configuredVolume = config->volumen;
  cashbox = std::make_unique<Cashbox>(*queue, *config, library);
  if (const std::optional<int32_t> volume = cashbox->Restore()) config->volumen = *volume;
  if (configuredVolume != -1) config->volumen = configuredVolume;
}

void SDLGui::PlaceCursor() {
  if (!config->touchscreen) SDL_ShowCursor(SDL_DISABLE);
  SDL_WarpMouse(static_cast<Uint16>(skin->width / 2), static_cast<Uint16>(skin->height / 2));
}

// The TV-out picture right of the main screen, its clocks, and the
// advertising images it will cycle through.
void SDLGui::PrepareTvOut() {
  marquee.TvMoved(platform::Ticks());
  SDL_Rect at = MakeRect(skin->width, 0, 0, 0);
  SDL_BlitSurface(tvOutImage, nullptr, screen, &at);
  UpdateScreenArea(MakeRect(skin->width, 0, config->tvoutxres, skin->height));
  marquee.NextAdvertising(platform::Ticks());
  ListAdvertising();
}

void SDLGui::ListAdvertising() {
  RDir folder("publicidad");
  char name[1024];
  while (folder.GetFile(name, sizeof name)) {
    if (name[0] != '.') marquee.AddAdvertising(name);
  }
}

void SDLGui::RemindServiceWhenDue() {
  lastRunTimeSave = platform::Ticks();
  save_exec(3);
  RString count;
  if (!ReadRunningTime(count)) return;
  std::printf("Execution count: %s\n", count.Chars());
  const long long dueSeconds = static_cast<long long>(config->periodoservicio) * 3600;
  if (RunningSeconds(count) > dueSeconds) ShowMsg(kServiceReminder, genreFont, -1, true, true);
}

void SDLGui::save_exec(int seconds) {
  RString text;
  if (!ReadRunningTime(text)) CreateRunningTimeFile();
  const long long count = RunningSeconds(text) + seconds;
  platform::WriteFileAtomically(kRunningTimeFile, std::to_string(count));
}

int SDLGui::OnlineChecker() {
  RTextFile file;
  if (!file.Open(kServerStatusFile, "r")) return 0;
  RString status = file.GetLine();
  if (status.GetLength() == 0) {
    file.Close();
    std::puts("SALTANDO SERVERSTATUS");
    return -1;
  }
  status.RemoveCR();
  ShowOnlineIndicator(status == "0" ? offlineIcon : onlineIcon);
  file.Close();
  platform::DeleteFile(kServerStatusFile);
  return 0;
}

// The indicator sits near the bottom-right corner and replaces the last one.
void SDLGui::ShowOnlineIndicator(SDL_Surface* icon) {
  if (offlineIcon == nullptr) return;
  const SDL_Rect area = MakeRect(static_cast<int>(skin->width * 0.9),
                                 static_cast<int>(skin->height * 0.8), offlineIcon->w,
                                 offlineIcon->h);
  SDL_Rect from = area;
  SDL_Rect to = area;
  SDL_BlitSurface(background, &from, screen, &to);
  to = area;
  SDL_BlitSurface(icon, nullptr, screen, &to);
  UpdateScreenArea(area);
}

void SDLGui::DrawBackground(bool update) {
  SDL_BlitSurface(background, nullptr, screen, nullptr);
  if (update) UpdateBackground();
}

void SDLGui::UpdateBackground() {
  SDL_BlitSurface(background, nullptr, screen, nullptr);
  SDL_Flip(screen);
}

void SDLGui::UpdateScreenArea(const SDL_Rect& area) {
  if (screen == nullptr) return;
  const int left = std::max<int>(area.x, 0);
  const int top = std::max<int>(area.y, 0);
  const int right = std::min<int>(area.x + area.w, screen->w);
  const int bottom = std::min<int>(area.y + area.h, screen->h);
  if (right <= left || bottom <= top) return;
  SDL_UpdateRect(screen, left, top, right - left, bottom - top);
}
