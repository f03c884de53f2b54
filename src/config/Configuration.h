#pragma once
// Every setting of the machine, read from "configuration" and "mapkeys",
// with the operator's settings ("configuser") that survive a restart.
// Settings are named after their keys; the key bindings come from MapKeys.
// Numbers are read whole and within their bounds: a value that is no number
// or out of bounds keeps the setting as it was, with a log line.
#include <atomic>
#include <cstdint>
#include <string>

#include "base/RString.h"
#include "config/MapKeys.h"

class MainLibrary;

// A colour of the settings, 0 to 255 a channel.
struct Colour {
  uint8_t r = 0, g = 0, b = 0;
};

// Whether a name can name the cabinet to its operator's broker, a topic
// level of its own: 1 to 64 of letters, digits, ".", "_" and "-".
bool IsCabinetName(const std::string& name);

class Configuration : public MapKeys {
 public:
  explicit Configuration(MainLibrary* library);

  // Reads the settings file name; when it cannot be opened and
  // "configuration" is missing, "configuration" is first made from
  // "configuration.default". Ends with LoadMapKeys. Always 1.
  int LoadConfiguration(const char* name);
  // Reads "mapkeys" over the bindings; 0 when read, 1 when it cannot be
  // opened.
  int LoadMapKeys();

  // "configuser": coin values of inputs 1 and 2, play mode, TV output.
  // 0 when read or written, 1 when the file cannot be opened or written.
  int LoadUserConfiguration();
  int SaveUserConfiguration();

  // "file: reason" for the first of "configuration" and "configuser" that
  // exists but cannot be read; empty when there is none.
  static std::string UnreadableFile();

  // Coin inputs 1..6: credits per pulse; other inputs read 0.
  uint16_t CreditsPerCoin(int input) const;

  MainLibrary* library;
  bool mousecredit = false;
  int32_t periodoservicio = 0;
  int32_t ancho = 1024;
  int32_t alto = 768;
  uint16_t timeoutvideohide = 10;
  int32_t videoalpha = 1;
  uint16_t creditscoin1 = 1, creditscoin2 = 3, creditscoin3 = 0;
  uint16_t creditscoin4 = 0, creditscoin5 = 0, creditscoin6 = 0;
  RString playmode = "";
  // The key bindings are the MapKeys fields.
  int32_t volumen = -1;
  bool volumeFixed = false;
  // The operator menu switches it while the playback thread reads it.
  std::atomic<int32_t> tvout{0};
  int32_t tvoutxres = 1366;
  int32_t tvoutyres = 768;
  struct {
    int32_t x = 0;
    int32_t y = 0;
  } mainwindowposition;
  bool usegenremenus = false;
  bool noshowqueue = false;
  bool soundcredit = false;
  bool navigation4 = false;
  bool disableKeyboard = false;
  bool touchscreen = false;
  bool phonekeyboard = false;
  bool abcportadas = false;
  bool califkaraoke = false;
  bool favoritos = false;
  bool antivibracion = false;
  int32_t eqbar1 = 0, eqbar2 = 0, eqbar3 = 0, eqbar4 = 0, eqbar5 = 0;
  int32_t eqbar6 = 0, eqbar7 = 0, eqbar8 = 0, eqbar9 = 0, eqbar10 = 0;

  // Panel fonts: point sizes and colours.
  int32_t genero_size = 28;
  Colour genero_color = kWhite;
  int32_t titulos_size = 20;
  Colour titulos_color = kWhite;
  int32_t canciones_size = 18;
  Colour canciones_color = kWhite;
  Colour canciones_barras_color = kBarBlue;
  int32_t reproduccion_size = 20;
  Colour reproduccion_color = kWhite;
  int32_t cola_size = 16;
  Colour cola_color = kWhite;
  int32_t modouso_size = 20;
  Colour modouso_color = kWhite;
  int32_t listageneros_size = 22;
  Colour listageneros_color = kWhite;
  Colour listageneros_fondo_color = kBlack;
  Colour listageneros_barras_color = kBarBlue;
  int32_t alfanumerico_size = 28;
  Colour alfanumerico_color = kWhite;
  Colour alfanumerico_fondo_color = kBlack;
  int32_t marquee_size = 24;
  Colour marquee_color = kWhite;

  RString skinname = "";
  int32_t randomplay = 0;
  int32_t creditsbyplay = 1;
  int32_t creditsbyvideo = 1;
  int32_t creditsvip = 0;
  int32_t creditsdownloads = 1;
  RString countertype = "";
  RString marquesina = "";
  bool numenter = false;
  bool jumpsong = false;
  RString usb_path = "";
  RString videodriver = "";
  // The operator menu's outside programs: the wireless interface and the
  // supplicant's configuration file WPS uses, the user the catalogue tool
  // runs as when the jukebox runs as root, and the file manager.
  RString wifiinterface = "wlan0";
  RString wpaconfig = "/etc/wpa_supplicant.conf";
  RString cabinetuser = "plexa";
  RString filemanager = "thunar";
  // The operator's MQTT broker for fleet reports (TLS with the CA in
  // fleetca); no reports without a fleethost. fleetcabinet names this
  // cabinet there; the machine's name when empty.
  RString fleethost = "";
  int32_t fleetport = 8883;
  RString fleetuser = "";
  RString fleetpassword = "";
  RString fleetca = "";
  RString fleetcabinet = "";

 private:
  static constexpr Colour kWhite = {255, 255, 255};
  static constexpr Colour kBlack = {0, 0, 0};
  static constexpr Colour kBarBlue = {0, 90, 200};

  void ApplySetting(const RString& key, const RString& value);
};
