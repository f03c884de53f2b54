#include "config/MapKeys.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// The key names in code order, as the settings files of the cabinets use
// them.
const char* const kExpectedNames =
    "first backspace tab clear return pause escape space exclaim quotedbl hash dollar "
    "ampersand quote leftparen rightparen asterisk plus comma minus period slash "
    "0 1 2 3 4 5 6 7 8 9 colon semicolon less equals greater question at "
    "leftbracket backslash rightbracket caret underscore backquote "
    "a b c d e f g h i j k l m n o p q r s t u v w x y z delete "
    "kp0 kp1 kp2 kp3 kp4 kp5 kp6 kp7 kp8 kp9 kpperiod kpdivide kpmultiply kpminus kpplus "
    "kpenter kpequals up down right left insert home end pageup pagedown "
    "f1 f2 f3 f4 f5 f6 f7 f8 f9 f10 f11 f12 f13 f14 f15 "
    "numlock capslock scrollock rshift lshift rctrl lctrl ralt lalt rmeta lmeta lsuper rsuper "
    "mode compose help print sysreq break menu power euro undo";

TEST(SdlKeysTest, NamesEveryKeyInCodeOrder) {
  std::istringstream expected(kExpectedNames);
  std::string name;
  int row = 0;
  for (const KEYITEM& item : sdlkeys()) {
    ASSERT_TRUE(expected >> name);
    EXPECT_STREQ(item.name.c_str(), name.c_str()) << "row " << row;
    if (row > 0) {
      EXPECT_GT(item.key, sdlkeys()[row - 1].key) << item.name.c_str();
    }
    ++row;
  }
  EXPECT_FALSE(expected >> name);
  EXPECT_EQ(row, 136);
}

TEST(ConvertStringToLongKeyTest, ReadsHexadecimalAfterLowerCasePrefix) {
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x111"), 273);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x0111"), 273);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x0D"), 13);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x0d"), 13);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x1bz"), 27);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0xZZ"), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0x"), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("0X0D"), 0);
}

TEST(ConvertStringToLongKeyTest, MatchesNamesExactly) {
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("up"), 273);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("return"), 13);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("Return"), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("pause"), 19);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("menu"), 319);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("5"), 53);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("kp5"), 261);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("first"), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("delete"), 127);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("f1"), 282);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("undo"), 322);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("kp_period"), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey("return "), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey(""), 0);
  EXPECT_EQ(MapKeys::ConvertStringToLongKey(RString()), 0);
}

TEST(MapKeysTest, KeyMapFileReachesOnlyItsBindings) {
  MapKeys keys;
  int32_t* coin2 = keys.FindBinding("coin2", MapKeys::Source::KeyMapFile);
  ASSERT_NE(coin2, nullptr);
  *coin2 = 7;
  EXPECT_EQ(keys.coin2, 7);
  for (const char* name : {"discover", "configmenu", "coin3", "abc", "upvol2", "exit", "apagar"}) {
    EXPECT_EQ(keys.FindBinding(name, MapKeys::Source::KeyMapFile), nullptr) << name;
    EXPECT_NE(keys.FindBinding(name, MapKeys::Source::Configuration), nullptr) << name;
  }
  EXPECT_EQ(keys.FindBinding("Enter", MapKeys::Source::Configuration), nullptr);
}

}  // namespace
