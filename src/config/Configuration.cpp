#include "config/Configuration.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "catalogue/MainLibrary.h"
#include "config/SettingsFile.h"
#include "platform/Files.h"
#include "playback/Queue.h"

namespace {

const char* const kConfigurationFile = "configuration";
const char* const kDefaultConfigurationFile = "configuration.default";
const char* const kKeyMapFile = "mapkeys";
const char* const kUserFile = "configuser";
const char* const kTempDataFile = "tempdata";
const char* const kPaidKey = "queueitempaid";

bool Is(const RString& key, const char* name) { return std::strcmp(key.Chars(), name) == 0; }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? length : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

// "10,20" -> 10 and 20; the second half is everything after the first ",".
void SplitAtFirst(char separator, const RString& value, RString& first, RString& rest) {
  first = value.BeforeFirst(separator);
  rest = value.AfterFirst(separator);
}

// Splits at the first two separators; the third part keeps any further ones.
void SplitInThree(char separator, const RString& value, RString parts[3]) {
  RString rest;
  SplitAtFirst(separator, value, parts[0], rest);
  SplitAtFirst(separator, rest, parts[1], parts[2]);
}

SDL_Color ColourOf(int value) {
  const uint32_t rgb = static_cast<uint32_t>(value);
  SDL_Color colour;
  colour.r = rgb & 0xFF;
  colour.g = (rgb >> 8) & 0xFF;
  colour.b = (rgb >> 16) & 0xFF;
  return colour;
}

// Reads the whole file into contents; false when it cannot be opened.
bool ReadWholeFile(const char* name, std::string& contents) {
  FILE* file = platform::OpenFile(name, "rb");
  if (!file) return false;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

// Makes "configuration" from its template, whole or not at all.
void RestoreDefaultConfiguration() {
  std::string contents;
  if (ReadWholeFile(kDefaultConfigurationFile, contents))
    platform::WriteFileAtomically(kConfigurationFile, contents);
}

using Setter = std::function<void(Configuration&, const RString&)>;

struct Setting {
  const char* key;
  Setter apply;
};

Setter Integer(int32_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = v.ToInteger(); };
}

Setter Short(uint16_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = static_cast<uint16_t>(v.ToInteger()); };
}

Setter YesNo(bool Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = Is(v, "yes"); };
}

Setter Text(RString Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = v; };
}

Setter Colour(SDL_Color Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = ColourOf(v.ToInteger()); };
}

Setter Negated(int32_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) { c.*field = -v.ToInteger(); };
}

Setter TvOutSize(int32_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    c.*field = v.ToInteger();
    c.tvout = 1;
  };
}

// The keys of "configuration" tested before the key bindings, in order.
const std::vector<Setting>& SettingsBeforeBindings() {
  static const std::vector<Setting> settings = {
      {"mediacontent",
       [](Configuration& c, const RString& v) {
         if (c.library) c.library->AddContentPath(v);
       }},
      {"timeoutvideohide", Short(&Configuration::timeoutvideohide)},
      {"videoalpha", Integer(&Configuration::videoalpha)},
      {"creditscoin1", Short(&Configuration::creditscoin1)},
      {"creditscoin2", Short(&Configuration::creditscoin2)},
      {"creditscoin3", Short(&Configuration::creditscoin3)},
      {"creditscoin4", Short(&Configuration::creditscoin4)},
      {"creditscoin5", Short(&Configuration::creditscoin5)},
      {"creditscoin6", Short(&Configuration::creditscoin6)},
      {"playmode", Text(&Configuration::playmode)},
  };
  return settings;
}

// The keys of "configuration" tested after the key bindings, in order.
const std::vector<Setting>& SettingsAfterBindings() {
  static const std::vector<Setting> settings = {
      {"usegenremenus", YesNo(&Configuration::usegenremenus)},
      {"noshowqueue", YesNo(&Configuration::noshowqueue)},
      {"soundcredit", YesNo(&Configuration::soundcredit)},
      {"navigation4", YesNo(&Configuration::navigation4)},
      {"disableKeyboard", YesNo(&Configuration::disableKeyboard)},
      {"touchscreen", YesNo(&Configuration::touchscreen)},
      {"phonekeyboard", YesNo(&Configuration::phonekeyboard)},
      {"abcportadas", YesNo(&Configuration::abcportadas)},
      {"volumen",
       [](Configuration& c, const RString& v) {
         c.volumen = v.ToInteger();
         c.volumeFixed = true;
       }},
      {"tvoutxres", TvOutSize(&Configuration::tvoutxres)},
      {"tvoutyres", TvOutSize(&Configuration::tvoutyres)},
      {"mainwindowposition",
       [](Configuration& c, const RString& v) {
         RString x, y;
         SplitAtFirst(',', v, x, y);
         c.mainwindowposition.x = x.ToInteger();
         c.mainwindowposition.y = y.ToInteger();
       }},
      {"genero_size", Integer(&Configuration::genero_size)},
      {"genero_color", Colour(&Configuration::genero_color)},
      {"titulos_size", Integer(&Configuration::titulos_size)},
      {"titulos_color", Colour(&Configuration::titulos_color)},
      {"canciones_size", Integer(&Configuration::canciones_size)},
      {"canciones_color", Colour(&Configuration::canciones_color)},
      {"canciones_barras_color", Colour(&Configuration::canciones_barras_color)},
      {"reproduccion_size", Integer(&Configuration::reproduccion_size)},
      {"reproduccion_color", Colour(&Configuration::reproduccion_color)},
      {"cola_size", Integer(&Configuration::cola_size)},
      {"cola_color", Colour(&Configuration::cola_color)},
      {"modouso_size", Integer(&Configuration::modouso_size)},
      {"modouso_color", Colour(&Configuration::modouso_color)},
      {"listageneros_size", Integer(&Configuration::listageneros_size)},
      {"listageneros_color", Colour(&Configuration::listageneros_color)},
      {"listageneros_fondo_color", Colour(&Configuration::listageneros_fondo_color)},
      {"listageneros_barras_color", Colour(&Configuration::listageneros_barras_color)},
      {"alfanumerico_size", Integer(&Configuration::alfanumerico_size)},
      {"alfanumerico_color", Colour(&Configuration::alfanumerico_color)},
      {"alfanumerico_fondo_color", Colour(&Configuration::alfanumerico_fondo_color)},
      {"marquee_size", Integer(&Configuration::marquee_size)},
      {"marquee_color", Colour(&Configuration::marquee_color)},
      {"skinname", Text(&Configuration::skinname)},
      {"randomplay", Integer(&Configuration::randomplay)},
      {"creditsbyplay", Integer(&Configuration::creditsbyplay)},
      {"creditsbyvideo", Integer(&Configuration::creditsbyvideo)},
      {"creditsvip", Integer(&Configuration::creditsvip)},
      {"creditsdownloads", Integer(&Configuration::creditsdownloads)},
      {"countertype", Text(&Configuration::countertype)},
      {"marquesina", Text(&Configuration::marquesina)},
      {"numenter", YesNo(&Configuration::numenter)},
      {"jumpsong", YesNo(&Configuration::jumpsong)},
      {"videodriver", Text(&Configuration::videodriver)},
      {"usb_path", Text(&Configuration::usb_path)},
      {"wifiinterface", Text(&Configuration::wifiinterface)},
      {"wpaconfig", Text(&Configuration::wpaconfig)},
      {"cabinetuser", Text(&Configuration::cabinetuser)},
      {"filemanager", Text(&Configuration::filemanager)},
      {"periodoservicio", Integer(&Configuration::periodoservicio)},
      {"mousecredit", YesNo(&Configuration::mousecredit)},
      {"califkaraoke", YesNo(&Configuration::califkaraoke)},
      {"favoritos", YesNo(&Configuration::favoritos)},
      {"antivibracion", YesNo(&Configuration::antivibracion)},
      {"eqbar1", Negated(&Configuration::eqbar1)},
      {"eqbar2", Negated(&Configuration::eqbar2)},
      {"eqbar3", Negated(&Configuration::eqbar3)},
      {"eqbar4", Negated(&Configuration::eqbar4)},
      {"eqbar5", Negated(&Configuration::eqbar5)},
      {"eqbar6", Negated(&Configuration::eqbar6)},
      {"eqbar7", Negated(&Configuration::eqbar7)},
      {"eqbar8", Negated(&Configuration::eqbar8)},
      {"eqbar9", Negated(&Configuration::eqbar9)},
      {"eqbar10",
       [](Configuration& c, const RString& v) {
         Negated(&Configuration::eqbar10)(c, v);
         std::printf("eqbar 10 %d\n", c.eqbar10);
       }},
      {"alto",
       [](Configuration& c, const RString& v) {
         c.alto = v.ToInteger();
         if (c.alto == 0) c.alto = 768;
       }},
      {"ancho",
       [](Configuration& c, const RString& v) {
         c.ancho = v.ToInteger();
         if (c.ancho == 0) {
           c.ancho = 1024;
           std::printf("Ancho default: %d\n", c.ancho);
         }
       }},
  };
  return settings;
}

bool ApplyFirstMatch(const std::vector<Setting>& settings, Configuration& configuration,
                     const RString& key, const RString& value) {
  for (const Setting& setting : settings) {
    if (Is(key, setting.key)) {
      setting.apply(configuration, value);
      return true;
    }
  }
  return false;
}

uint16_t Configuration::*const kCreditsPerCoin[] = {
    &Configuration::creditscoin1, &Configuration::creditscoin2, &Configuration::creditscoin3,
    &Configuration::creditscoin4, &Configuration::creditscoin5, &Configuration::creditscoin6};

int32_t Configuration::*const kCoinCounters[] = {
    &Configuration::counter1, &Configuration::counter2, &Configuration::counter3,
    &Configuration::counter4, &Configuration::counter5, &Configuration::counter6};

constexpr int kCoinInputs = 6;

bool IsCoinInput(int input) { return input >= 1 && input <= kCoinInputs; }

// The keys of "configuser".
const std::vector<Setting>& UserSettings() {
  static const std::vector<Setting> settings = {
      {"creditscoin1", Short(&Configuration::creditscoin1)},
      {"creditscoin2", Short(&Configuration::creditscoin2)},
      {"playmode", Text(&Configuration::playmode)},
      {"tvout", Integer(&Configuration::tvout)},
  };
  return settings;
}

// The coin counters of "tempdata".
const std::vector<Setting>& CounterSettings() {
  static const std::vector<Setting> settings = {
      {"counter1", Integer(&Configuration::counter1)}, {"counter2", Integer(&Configuration::counter2)},
      {"counter3", Integer(&Configuration::counter3)}, {"counter4", Integer(&Configuration::counter4)},
      {"counter5", Integer(&Configuration::counter5)}, {"counter6", Integer(&Configuration::counter6)},
  };
  return settings;
}

}  // namespace

Configuration::Configuration(MainLibrary* mainLibrary) : library(mainLibrary) {}

uint16_t Configuration::CreditsPerCoin(int input) const {
  return IsCoinInput(input) ? this->*kCreditsPerCoin[input - 1] : 0;
}

int32_t Configuration::CoinCount(int input) const {
  return IsCoinInput(input) ? this->*kCoinCounters[input - 1] : 0;
}

void Configuration::CountCoin(int input) {
  if (IsCoinInput(input)) ++(this->*kCoinCounters[input - 1]);
}

int Configuration::LoadConfiguration(const char* name) {
  const auto readSettings = [this, name] {
    return SettingsFile::Read(name, [this](const RString& key, const RString& value) {
      ApplySetting(key, value);
    });
  };
  if (!readSettings()) {
    if (!platform::FileExists(kConfigurationFile)) RestoreDefaultConfiguration();
    if (!readSettings()) return 1;
  }
  LoadMapKeys();
  return 1;
}

void Configuration::ApplySetting(const RString& key, const RString& value) {
  if (value.GetLength() == 0) {
    std::printf("Elemento de configuracion vacio, saltando ... %s\n", key.Chars());
    return;
  }
  if (ApplyFirstMatch(SettingsBeforeBindings(), *this, key, value)) return;
  if (int32_t* binding = FindBinding(key, Source::Configuration)) {
    *binding = ConvertStringToLongKey(value);
    return;
  }
  ApplyFirstMatch(SettingsAfterBindings(), *this, key, value);
}

int Configuration::LoadMapKeys() {
  const bool read = SettingsFile::Read(kKeyMapFile, [this](const RString& key, const RString& value) {
    if (int32_t* binding = FindBinding(key, Source::KeyMapFile))
      *binding = ConvertStringToLongKey(value);
  });
  return read ? 0 : 1;
}

int Configuration::LoadUserConfiguration() {
  const bool read = SettingsFile::Read(kUserFile, [this](const RString& key, const RString& value) {
    ApplyFirstMatch(UserSettings(), *this, key, value);
  });
  return read ? 0 : 1;
}

int Configuration::SaveUserConfiguration() {
  const std::string text = Format("creditscoin1=%u\n", unsigned{creditscoin1}) +
                           Format("creditscoin2=%u\n", unsigned{creditscoin2}) +
                           Format("playmode=%s\n", playmode.Chars()) + Format("tvout=%d\n", tvout);
  return platform::WriteFileAtomically(kUserFile, text) ? 0 : 1;
}

std::string Configuration::UnreadableFile() {
  for (const char* name : {kConfigurationFile, kUserFile, kTempDataFile}) {
    const std::string fault = platform::ReadFault(name);
    if (!fault.empty()) return std::string(name) + ": " + fault;
  }
  return "";
}

int Configuration::LoadTempData(Queue* queue, int* balance) {
  const std::string fault = platform::ReadFault(kTempDataFile);
  if (!fault.empty()) {
    std::printf("No se pudo leer %s: %s\n", kTempDataFile, fault.c_str());
    tempDataUnreadable_ = true;
    return 0;
  }
  bool firstQueueItemSkipped = false;
  // Whether the last queue line was restored: a "queueitempaid" line that
  // follows belongs to it.
  bool lastEntryRestored = false;
  const bool read = SettingsFile::Read(kTempDataFile, [&](const RString& key, const RString& value) {
    if (Is(key, "savedcredits")) {
      *balance = value.ToInteger();
    } else if (Is(key, "queueitem")) {
      lastEntryRestored = false;
      if (jumpsong && !firstQueueItemSkipped)
        firstQueueItemSkipped = true;
      else
        lastEntryRestored = RestorePositionEntry(value, queue);
    } else if (Is(key, "queueitemstring")) {
      lastEntryRestored = RestoreNamedEntry(value, queue);
    } else if (Is(key, kPaidKey)) {
      if (lastEntryRestored) queue->SetPaidOfLast(value.ToInteger());
      lastEntryRestored = false;
    } else if (Is(key, "tmpvolumen")) {
      if (!volumeFixed) volumen = value.ToInteger();
    } else {
      ApplyFirstMatch(CounterSettings(), *this, key, value);
    }
  });
  if (read && jumpsong) SaveTempData(queue, *balance);
  return 1;
}

// "genre,disc,track"
bool Configuration::RestorePositionEntry(const RString& value, Queue* queue) {
  RString parts[3];
  SplitInThree(',', value, parts);
  const QueueElement entry{static_cast<uint32_t>(parts[0].ToInteger()),
                           static_cast<uint32_t>(parts[1].ToInteger()),
                           static_cast<uint32_t>(parts[2].ToInteger())};
  if (!IsInCatalogue(entry)) {
    std::printf("Elemento de la cola fuera del catalogo, no se agrega: %s\n", value.Chars());
    return false;
  }
  return queue->AddElementToQueue(entry.genre, entry.disc, entry.track);
}

// "genre name/disc title/track title"; the title may hold further "/". A
// genre or disc name that is not found stands for position 0.
bool Configuration::RestoreNamedEntry(const RString& value, Queue* queue) {
  RString names[3];
  SplitInThree('/', value, names);
  QueueElement entry;
  int track = -1;
  if (library && library->GetTotalGenres() > 0) {
    entry.genre = library->GetGenreIndex(names[0]);
    if (library->GetTotalDiscs(entry.genre) > 0) {
      entry.disc = library->GetDiscIndex(entry.genre, names[1]);
      track = library->GetTrackIndex(entry.genre, entry.disc, names[2]);
    }
  }
  if (track < 0) {
    std::printf("Cancion descargada no encontrada, no se agrega a la cola: %s\n", value.Chars());
    return false;
  }
  return queue->AddElementToQueue(entry.genre, entry.disc, static_cast<uint32_t>(track));
}

bool Configuration::HasDisc(const QueueElement& entry) const {
  return library && entry.genre < static_cast<uint32_t>(library->GetTotalGenres()) &&
         entry.disc < static_cast<uint32_t>(library->GetTotalDiscs(entry.genre));
}

bool Configuration::IsInCatalogue(const QueueElement& entry) const {
  return HasDisc(entry) &&
         entry.track < static_cast<uint32_t>(library->GetTotalTracks(entry.genre, entry.disc));
}

// The saved credits of an unreadable "tempdata" are not overwritten blind.
int Configuration::SaveTempData(Queue* queue, int balance) {
  if (tempDataUnreadable_) {
    std::printf("No se guarda %s: no se pudo leer\n", kTempDataFile);
    return 0;
  }
  platform::WriteFileAtomically(kTempDataFile, TempDataText(queue, balance));
  return 1;
}

std::string Configuration::TempDataText(Queue* queue, int balance) const {
  std::string text = Format("savedcredits=%d\n", balance);
  if (!volumeFixed) text += Format("tmpvolumen=%d\n", volumen);
  for (const QueueElement& entry : queue->GetElements()) text += QueueLines(entry);
  for (int input = 1; input <= kCoinInputs; ++input)
    text += Format("counter%d=%d\n", input, CoinCount(input));
  return text;
}

// Downloaded tracks are saved by name, since the downloads disc grows;
// everything else by position. What was paid for an entry follows it on a
// line of its own, which readers that do not know it skip.
std::string Configuration::QueueLines(const QueueElement& entry) const {
  const std::string paid = entry.paid > 0 ? Format("%s=%d\n", kPaidKey, entry.paid) : "";
  if (IsInCatalogue(entry) && Is(library->GetDiscTitle(entry.genre, entry.disc), MainLibrary::kDownloadsDiscName)) {
    return Format("queueitemstring=%s/%s/%s\n", library->GetGenreName(entry.genre).Chars(), MainLibrary::kDownloadsDiscName,
                  library->GetTrackTitle(entry.genre, entry.disc, entry.track).Chars()) +
           paid;
  }
  return Format("queueitem=%d,%d,%d\n", static_cast<int>(entry.genre), static_cast<int>(entry.disc),
                static_cast<int>(entry.track)) +
         paid;
}
