#include "config/Configuration.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "catalogue/MainLibrary.h"
#include "config/SettingsFile.h"
#include "base/Numbers.h"
#include "platform/Files.h"

namespace {

const char* const kConfigurationFile = "configuration";
const char* const kDefaultConfigurationFile = "configuration.default";
const char* const kKeyMapFile = "mapkeys";
const char* const kUserFile = "configuser";

bool Is(const RString& key, const char* name) { return std::strcmp(key.Chars(), name) == 0; }


// "10,20" -> 10 and 20; the second half is everything after the first ",".
void SplitAtFirst(char separator, const RString& value, RString& first, RString& rest) {
  first = value.BeforeFirst(separator);
  rest = value.AfterFirst(separator);
}

Colour ColourOf(int value) {
  const uint32_t rgb = static_cast<uint32_t>(value);
  Colour colour;
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

// Whether the value was taken.
using Setter = std::function<bool(Configuration&, const RString&)>;

constexpr int64_t kLowestInt = std::numeric_limits<int32_t>::min();
constexpr int64_t kHighestInt = std::numeric_limits<int32_t>::max();

// A number within [min, max] into a field of type Field.
template <typename Field>
Setter Number(Field Configuration::*field, int64_t min, int64_t max) {
  return [field, min, max](Configuration& c, const RString& v) {
    const std::optional<int64_t> number = ParseInteger(v.Chars(), min, max);
    if (number) c.*field = static_cast<Field>(*number);
    return number.has_value();
  };
}

struct Setting {
  const char* key;
  Setter apply;
};

Setter Integer(int32_t Configuration::*field) { return Number(field, kLowestInt, kHighestInt); }

// Credits per coin.
Setter Short(uint16_t Configuration::*field) { return Number(field, 0, 65535); }

// A price in credits.
Setter Price(int32_t Configuration::*field) { return Number(field, 0, kHighestInt); }

Setter YesNo(bool Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    c.*field = Is(v, "yes");
    return true;
  };
}

Setter Text(RString Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    c.*field = v;
    return true;
  };
}

// Text of 1 to longest characters; with blanks false, none of them blank.
Setter BoundedText(RString Configuration::*field, size_t longest, bool blanks) {
  return [field, longest, blanks](Configuration& c, const RString& v) {
    const std::string text = v.Chars();
    const bool taken = text.size() <= longest && (blanks || text.find_first_of(" \t") == std::string::npos);
    if (taken) c.*field = v;
    return taken;
  };
}

Setter ColourSetting(Colour Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    const std::optional<int64_t> rgb = ParseInteger(v.Chars(), 0, 0xFFFFFF);
    if (rgb) c.*field = ColourOf(static_cast<int>(*rgb));
    return rgb.has_value();
  };
}

Setter Negated(int32_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    const std::optional<int64_t> number = ParseInteger(v.Chars(), -kHighestInt, kHighestInt);
    if (number) c.*field = static_cast<int32_t>(-*number);
    return number.has_value();
  };
}

Setter TvOutSize(int32_t Configuration::*field) {
  return [field](Configuration& c, const RString& v) {
    if (!Integer(field)(c, v)) return false;
    c.tvout = 1;
    return true;
  };
}

// The keys of "configuration" tested before the key bindings, in order.
const std::vector<Setting>& SettingsBeforeBindings() {
  static const std::vector<Setting> settings = {
      {"mediacontent",
       [](Configuration& c, const RString& v) {
         if (c.library) c.library->AddContentPath(v);
         return true;
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
         if (!Number(&Configuration::volumen, 0, 100)(c, v)) return false;
         c.volumeFixed = true;
         return true;
       }},
      {"tvoutxres", TvOutSize(&Configuration::tvoutxres)},
      {"tvoutyres", TvOutSize(&Configuration::tvoutyres)},
      {"mainwindowposition",
       [](Configuration& c, const RString& v) {
         RString x, y;
         SplitAtFirst(',', v, x, y);
         const std::optional<int64_t> left = ParseInteger(x.Chars(), kLowestInt, kHighestInt);
         const std::optional<int64_t> top = ParseInteger(y.Chars(), kLowestInt, kHighestInt);
         if (!left || !top) return false;
         c.mainwindowposition.x = static_cast<int32_t>(*left);
         c.mainwindowposition.y = static_cast<int32_t>(*top);
         return true;
       }},
      {"genero_size", Integer(&Configuration::genero_size)},
      {"genero_color", ColourSetting(&Configuration::genero_color)},
      {"titulos_size", Integer(&Configuration::titulos_size)},
      {"titulos_color", ColourSetting(&Configuration::titulos_color)},
      {"canciones_size", Integer(&Configuration::canciones_size)},
      {"canciones_color", ColourSetting(&Configuration::canciones_color)},
      {"canciones_barras_color", ColourSetting(&Configuration::canciones_barras_color)},
      {"reproduccion_size", Integer(&Configuration::reproduccion_size)},
      {"reproduccion_color", ColourSetting(&Configuration::reproduccion_color)},
      {"cola_size", Integer(&Configuration::cola_size)},
      {"cola_color", ColourSetting(&Configuration::cola_color)},
      {"modouso_size", Integer(&Configuration::modouso_size)},
      {"modouso_color", ColourSetting(&Configuration::modouso_color)},
      {"listageneros_size", Integer(&Configuration::listageneros_size)},
      {"listageneros_color", ColourSetting(&Configuration::listageneros_color)},
      {"listageneros_fondo_color", ColourSetting(&Configuration::listageneros_fondo_color)},
      {"listageneros_barras_color", ColourSetting(&Configuration::listageneros_barras_color)},
      {"alfanumerico_size", Integer(&Configuration::alfanumerico_size)},
      {"alfanumerico_color", ColourSetting(&Configuration::alfanumerico_color)},
      {"alfanumerico_fondo_color", ColourSetting(&Configuration::alfanumerico_fondo_color)},
      {"marquee_size", Integer(&Configuration::marquee_size)},
      {"marquee_color", ColourSetting(&Configuration::marquee_color)},
      {"skinname", Text(&Configuration::skinname)},
      {"randomplay", Integer(&Configuration::randomplay)},
      {"creditsbyplay", Price(&Configuration::creditsbyplay)},
      {"creditsbyvideo", Price(&Configuration::creditsbyvideo)},
      {"creditsvip", Price(&Configuration::creditsvip)},
      {"creditsdownloads", Price(&Configuration::creditsdownloads)},
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
      {"fleethost", BoundedText(&Configuration::fleethost, 253, false)},
      {"fleetport", Number(&Configuration::fleetport, 1, 65535)},
      {"fleetuser", BoundedText(&Configuration::fleetuser, 128, false)},
      {"fleetpassword", BoundedText(&Configuration::fleetpassword, 128, true)},
      {"fleetca", BoundedText(&Configuration::fleetca, 1024, true)},
      {"fleetcabinet",
       [](Configuration& c, const RString& v) {
         if (!IsCabinetName(v.Chars())) return false;
         c.fleetcabinet = v;
         return true;
       }},
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
         if (!Negated(&Configuration::eqbar10)(c, v)) return false;
         std::printf("eqbar 10 %d\n", c.eqbar10);
         return true;
       }},
      {"alto",
       [](Configuration& c, const RString& v) {
         if (!Integer(&Configuration::alto)(c, v)) return false;
         if (c.alto == 0) c.alto = 768;
         return true;
       }},
      {"ancho",
       [](Configuration& c, const RString& v) {
         if (!Integer(&Configuration::ancho)(c, v)) return false;
         if (c.ancho == 0) {
           c.ancho = 1024;
           std::printf("Ancho default: %d\n", c.ancho);
         }
         return true;
       }},
  };
  return settings;
}

// A value that is not taken keeps the setting as it was.
bool ApplyFirstMatch(const std::vector<Setting>& settings, Configuration& configuration,
                     const RString& key, const RString& value) {
  for (const Setting& setting : settings) {
    if (Is(key, setting.key)) {
      if (!setting.apply(configuration, value))
        std::printf("Valor no valido, se conserva el anterior: %s=%s\n", key.Chars(), value.Chars());
      return true;
    }
  }
  return false;
}

uint16_t Configuration::*const kCreditsPerCoin[] = {
    &Configuration::creditscoin1, &Configuration::creditscoin2, &Configuration::creditscoin3,
    &Configuration::creditscoin4, &Configuration::creditscoin5, &Configuration::creditscoin6};

constexpr int kCoinInputs = 6;

bool IsCoinInput(int input) { return input >= 1 && input <= kCoinInputs; }

// The keys of "configuser".
const std::vector<Setting>& UserSettings() {
  static const std::vector<Setting> settings = {
      {"creditscoin1", Short(&Configuration::creditscoin1)},
      {"creditscoin2", Short(&Configuration::creditscoin2)},
      {"playmode", Text(&Configuration::playmode)},
      {"tvout",
       [](Configuration& c, const RString& v) {
         const std::optional<int64_t> on = ParseInteger(v.Chars(), 0, 1);
         if (on) c.tvout = static_cast<int32_t>(*on);
         return on.has_value();
       }},
  };
  return settings;
}

}  // namespace

bool IsCabinetName(const std::string& name) {
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
  };
  return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), allowed);
}

Configuration::Configuration(MainLibrary* mainLibrary) : library(mainLibrary) {}

uint16_t Configuration::CreditsPerCoin(int input) const {
  return IsCoinInput(input) ? this->*kCreditsPerCoin[input - 1] : 0;
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
                           Format("playmode=%s\n", playmode.Chars()) + Format("tvout=%d\n", tvout.load());
  return platform::WriteFileAtomically(kUserFile, text) ? 0 : 1;
}

std::string Configuration::UnreadableFile() {
  for (const char* name : {kConfigurationFile, kUserFile}) {
    const std::string fault = platform::ReadFault(name);
    if (!fault.empty()) return std::string(name) + ": " + fault;
  }
  return "";
}
