#include "platform/Paths.h"

#include <gtest/gtest.h>

using platform::FromHostText;
using platform::ToHostPath;
using platform::ToHostText;

TEST(HostText, Windows1252RoundTripsThroughUtf8) {
  const std::string spanish = "Canci\xF3n \xD1" "and\xFA \x80 \x93hola\x94";
  EXPECT_EQ(ToHostText(spanish), "Canci\xC3\xB3n \xC3\x91\x61nd\xC3\xBA \xE2\x82\xAC \xE2\x80\x9Chola\xE2\x80\x9D");
  EXPECT_EQ(FromHostText(ToHostText(spanish)), spanish);
  std::string everyByte;
  for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
  EXPECT_EQ(FromHostText(ToHostText(everyByte)), everyByte);
}

TEST(HostText, ForeignAndBrokenUtf8) {
  EXPECT_EQ(FromHostText("\xE6\x97\xA5"), "?");          // a character the code page lacks
  EXPECT_EQ(FromHostText("a\xF3z"), "a\xF3z");            // a stray Latin-1 byte stays
  EXPECT_EQ(FromHostText("\xC0\x80"), "\xC0\x80");        // overlong forms are not decoded
}

TEST(HostPath, SeparatorsDriveLettersAndEncoding) {
  EXPECT_EQ(ToHostPath("media\\Rock\\Tema.mp3"), "media/Rock/Tema.mp3");
  EXPECT_EQ(ToHostPath("E:\\ACTUALIZACION"), "dosdevices/e:/ACTUALIZACION");
  EXPECT_EQ(ToHostPath("e:ACTUALIZACION"), "dosdevices/e:/ACTUALIZACION");
  EXPECT_EQ(ToHostPath("F:"), "dosdevices/f:");
  EXPECT_EQ(ToHostPath("/srv/m\xFAsica"), "/srv/m\xC3\xBAsica");
  EXPECT_EQ(ToHostPath("queue\\pedido.txt"), "queue/pedido.txt");
}

TEST(HostPath, NamesThatLeaveTheirFolder) {
  const struct {
    const char* name;
    bool leaves;
    bool plainListed;
  } cases[] = {
      {"Tema.mp3", false, true},
      {"AC/DC Live.mp4", false, true},
      {"..Tema...mp3", false, true},
      {"", false, true},
      {"..", true, false},
      {".", true, false},
      {"Pop\\..\\..", true, false},
      {"media\\..", true, false},
      {"../etc/passwd", true, false},
      {"a/./b", true, false},
      {"Verano Azul\\..", true, false},
      {"Pop\\Rock", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::LeavesItsFolder(c.name), c.leaves) << c.name;
    EXPECT_EQ(platform::IsPlainListedName(c.name), c.plainListed) << c.name;
  }
}
