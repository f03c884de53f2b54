#include "platform/Paths.h"

#include <gtest/gtest.h>

using platform::FromHostText;
using platform::ToHostPath;
using platform::ToHostText;

TEST(HostText, Windows1252RoundTripsThroughUtf8) {
  const std::string spanish = "Canci\xF3n \xD1" "and\xFA \x80 \x93hola\x94";
  EXPECT_EQ(ToHostText(spanish), "Canci\xC3\xB3n \xC3\x91\x61nd\xC3\xBA \xE2\x82\xAC \xE2\x80\x9Chola\xE2\x80\x9D");
  EXPECT_EQ(FromHostText(ToHostText(spanish)), spanish);
  // Every byte but the separator and the escape, which a host name cannot
  // give as they are.
  std::string everyByte;
  for (int c = 1; c < 256; ++c)
    if (c != '\\' && c != 0x81) everyByte += static_cast<char>(c);
  EXPECT_EQ(FromHostText(ToHostText(everyByte)), everyByte);
  EXPECT_EQ(ToHostText("\x81Z \x81" "4"), "\xC2\x81Z \xC2\x81" "4");  // no escape: the C1 control
}

// Whatever a name on disk holds, its internal text leads back to it.
TEST(HostText, EveryHostNameComesBackWhole) {
  const struct {
    const char* host;
    const char* internal;
  } names[] = {
      {"Canci\xC3\xB3n", "Canci\xF3n"},
      {"\xE6\x97\xA5", "\x81" "E6\x81" "97\x81" "A5"},  // a character the code page lacks
      {"caf\xE9.mp3", "caf\x81" "E9.mp3"},                 // a Latin-1 name
      {"AC\\DC", "AC\x81" "5CDC"},                         // not a folder separator
      {"\xC2\x81" "41", "\x81" "C2\x81" "8141"},            // the escape's own character
      {"\xC0\x80 \xE2\x82", "\x81" "C0\x81" "80 \x81" "E2\x81" "82"},  // overlong, cut short
  };
  for (const auto& name : names) {
    SCOPED_TRACE(name.host);
    EXPECT_EQ(FromHostText(name.host), name.internal);
    EXPECT_EQ(ToHostText(FromHostText(name.host)), name.host);
  }
  EXPECT_EQ(ToHostPath(std::string("media\\") + FromHostText("AC\\DC") + "\\caf\x81" "E9.mp3"),
            "media/AC\\DC/caf\xE9.mp3");
}

TEST(HostPath, SeparatorsDriveLettersAndEncoding) {
  EXPECT_EQ(ToHostPath("media\\Rock\\Tema.mp3"), "media/Rock/Tema.mp3");
  EXPECT_EQ(ToHostPath("E:\\ACTUALIZACION"), "dosdevices/e:/ACTUALIZACION");
  EXPECT_EQ(ToHostPath("e:ACTUALIZACION"), "dosdevices/e:/ACTUALIZACION");
  EXPECT_EQ(ToHostPath("F:"), "dosdevices/f:");
  EXPECT_EQ(ToHostPath("/srv/m\xFAsica"), "/srv/m\xC3\xBAsica");
  EXPECT_EQ(ToHostPath("queue\\pedido.txt"), "queue/pedido.txt");
}

// Names are judged on the host path they open, escapes decoded. An outside
// name may not make a separator or a NUL with an escape; a listed one may
// hold no "\" of its own either.
TEST(HostPath, NamesThatLeaveTheirFolder) {
  const struct {
    std::string name;
    bool leaves;
    bool accepted;
    bool plainListed;
  } cases[] = {
      {"Tema.mp3", false, true, true},
      {"AC/DC Live.mp4", false, true, true},
      {"..Tema...mp3", false, true, true},
      {"", false, true, true},
      {"..", true, false, false},
      {".", true, false, false},
      {"Pop\\..\\..", true, false, false},
      {"media\\..", true, false, false},
      {"../etc/passwd", true, false, false},
      {"a/./b", true, false, false},
      {"Verano Azul\\..", true, false, false},
      {"Pop\\Rock", false, true, false},
      {"\x81" "2E\x81" "2E", true, false, false},
      {"\x81" "2E", true, false, false},
      {"Pop\\\x81" "2E.\\db", true, false, false},
      {"\x81" "2E\x81" "2E\\\x81" "2E\x81" "2E/db", true, false, false},
      {"Tema\x81" "2Emp3", false, true, true},
      {"\x81" "2E\x81" "2E\x81" "2E", false, true, true},
      {"Pop\x81" "2F..\x81" "2Fdb", true, false, false},
      {"AC\x81" "2F" "DC", false, false, false},
      {"AC\x81" "5C" "DC", false, false, false},
      {"..\x81" "5C" "db", false, false, false},
      {"Tema.mp3\x81" "00/../db", true, false, false},
      {std::string("Tema\0.mp3", 9), true, false, false},
      {"\x81\x81" "2E.", false, true, true},
      {"\x81" "812E\x81" "812E", false, true, true},
      {"caf\x81" "C3\x81" "A9.mp3", false, true, true},
      {"Tema\x81" "2e\x81" "2.mp3", false, true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::LeavesItsFolder(c.name), c.leaves) << c.name;
    EXPECT_EQ(platform::IsAcceptedOutsideName(c.name), c.accepted) << c.name;
    EXPECT_EQ(platform::IsPlainListedName(c.name), c.plainListed) << c.name;
  }
}
