#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "base/RString.h"

namespace {

TEST(RStringTest, TextWithoutBufferNeverEqualsAnything) {
  EXPECT_FALSE(RString() == RString(""));
  EXPECT_FALSE(RString("") == RString());
  EXPECT_FALSE(RString() == RString());
  EXPECT_TRUE(RString() != RString());
  EXPECT_TRUE(RString("") == RString(""));
  EXPECT_TRUE(RString("abc").Compare("abc"));
  EXPECT_FALSE(RString("abc") == RString("abd"));
  EXPECT_FALSE(RString("ab") == RString("abc"));
}

TEST(RStringTest, CopiesKeepTheMissingBuffer) {
  const RString none;
  RString copy(none);
  EXPECT_EQ(copy.c_str(), nullptr);

  RString text("abc");
  text = none;
  EXPECT_EQ(text.c_str(), nullptr);
  EXPECT_EQ(text.GetLength(), 0u);

  RString kept("abc");
  kept = static_cast<const char*>(nullptr);
  EXPECT_STREQ(kept.c_str(), "abc");

  RString self("abc");
  const RString& alias = self;
  self = alias;
  EXPECT_STREQ(self.c_str(), "abc");
}

TEST(RStringTest, CopiesAreDeepAndMovesEmptyTheSource) {
  RString original("abc");
  RString copy(original);
  original.InsertChar('x', 0);
  EXPECT_STREQ(copy.c_str(), "abc");
  EXPECT_NE(copy.c_str(), original.c_str());

  RString moved(std::move(original));
  EXPECT_STREQ(moved.c_str(), "xabc");
  EXPECT_EQ(original.c_str(), nullptr);
  EXPECT_EQ(original.GetLength(), 0u);

  copy = std::move(moved);
  EXPECT_STREQ(copy.c_str(), "xabc");
  EXPECT_EQ(moved.c_str(), nullptr);
}

TEST(RStringTest, Concatenation) {
  EXPECT_STREQ((RString("ab") + RString("cd")).c_str(), "abcd");
  EXPECT_STREQ((RString("ab") + "cd").c_str(), "abcd");
  EXPECT_STREQ(("ab" + RString("cd")).c_str(), "abcd");
  EXPECT_STREQ((RString() + "cd").c_str(), "cd");
  EXPECT_STREQ(("ab" + RString()).c_str(), "ab");
  EXPECT_STREQ((RString() + RString("cd")).c_str(), "cd");
  // Adding an empty text copies this one, missing buffer included.
  EXPECT_EQ((RString() + RString("")).c_str(), nullptr);
  EXPECT_STREQ((RString("ab") + RString()).c_str(), "ab");

  RString path("music");
  path += "\\";
  path += RString("Rock");
  EXPECT_STREQ(path.c_str(), "music\\Rock");
  EXPECT_EQ(path.GetLength(), 10u);
}

TEST(RStringTest, GetCharGivesUnsignedBytes) {
  const RString text("a\xF1");
  EXPECT_EQ(text.GetChar(0), 'a');
  EXPECT_EQ(text.GetChar(1), 0xF1);
  EXPECT_EQ(text.GetChar(2), 0);
  EXPECT_EQ(RString().GetChar(0), 0);
}

TEST(RStringTest, InsertAndRemoveCharacters) {
  RString text("ac");
  text.InsertChar('b', 1);
  text.InsertChar('d', 3);
  EXPECT_STREQ(text.c_str(), "abcd");
  text.InsertChar('z', 9);
  EXPECT_STREQ(text.c_str(), "abcd");

  RString none;
  none.InsertChar('x', 0);
  EXPECT_STREQ(none.c_str(), "x");

  text.RemoveChar(4);
  EXPECT_STREQ(text.c_str(), "abcd");
  text.RemoveChar(0);
  text.RemoveChar(1);
  EXPECT_STREQ(text.c_str(), "bd");
  text.RemoveLastChar();
  text.RemoveLastChar();
  text.RemoveLastChar();
  EXPECT_STREQ(text.c_str(), "");
  EXPECT_EQ(text.GetLength(), 0u);
}

TEST(RStringTest, RemoveCRStripsLineEnds) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"abc\r\n", "abc"}, {"abc\n", "abc"}, {"abc\r", "abc"},
      {"abc", "abc"},     {"\n", "\n"},     {"\r", "\r"},
      {"\r\n", ""},       {"a\n\n", "a\n"}, {"", ""},
  };
  for (const auto& c : cases) {
    RString text(c.in);
    text.RemoveCR();
    EXPECT_STREQ(text.c_str(), c.out) << "input length " << strlen(c.in);
  }
}

TEST(RStringTest, GetSubStringTakesHalfOpenRange) {
  const RString text("01 - Tema");
  EXPECT_STREQ(text.GetSubString(5, 9).c_str(), "Tema");
  EXPECT_STREQ(text.GetSubString(3, 3).c_str(), "");
  EXPECT_STREQ(text.GetSubString(5, 99).c_str(), "Tema");
  EXPECT_STREQ(text.GetSubString(7, 2).c_str(), "");
  EXPECT_STREQ(RString().GetSubString(0, 0).c_str(), "");
}

TEST(RStringTest, SplitAtFirst) {
  EXPECT_STREQ(RString("volumen=80").AfterFirst('=').c_str(), "80");
  EXPECT_STREQ(RString("volumen=80").BeforeFirst('=').c_str(), "volumen");
  EXPECT_STREQ(RString("a=b=c").AfterFirst('=').c_str(), "b=c");
  EXPECT_STREQ(RString("volumen=").AfterFirst('=').c_str(), "");
  // A missing separator gives the empty text, with a buffer.
  EXPECT_STREQ(RString("volumen").AfterFirst('=').c_str(), "");
  EXPECT_STREQ(RString("volumen").BeforeFirst('=').c_str(), "");
  EXPECT_STREQ(RString().BeforeFirst('=').c_str(), "");
}

TEST(RStringTest, SplitAtLastIgnoresTheFinalCharacter) {
  EXPECT_STREQ(RString("01 - Tema.mp3").BeforeLast('.').c_str(), "01 - Tema");
  EXPECT_STREQ(RString("01 - Tema.mp3").AfterLast('.').c_str(), "mp3");
  EXPECT_STREQ(RString("Tema.").BeforeLast('.').c_str(), "");
  EXPECT_STREQ(RString("a.b.").AfterLast('.').c_str(), "b.");
  EXPECT_STREQ(RString("a.b.").BeforeLast('.').c_str(), "a");
  EXPECT_STREQ(RString(".").BeforeLast('.').c_str(), "");
  EXPECT_STREQ(RString(".x").AfterLast('.').c_str(), "x");
  EXPECT_STREQ(RString("C:\\m\\Rock").AfterLast('\\').c_str(), "Rock");
}

TEST(RStringTest, SprintfFormatsWhateverTheLength) {
  RString text("old");
  EXPECT_EQ(text.sprintf("%s %03d", "Disco", 7), 0);
  EXPECT_STREQ(text.c_str(), "Disco 007");

  for (int length : {1023, 1024, 1500, 5000}) {
    const std::string expected(length, 'x');
    text.sprintf("%s", expected.c_str());
    EXPECT_EQ(text.GetLength(), static_cast<uint32_t>(length));
    EXPECT_STREQ(text.c_str(), expected.c_str());
  }

  RString self("ab");
  self.sprintf("%s%s", self.c_str(), self.c_str());
  EXPECT_STREQ(self.c_str(), "abab");
}

TEST(RStringTest, CaseCompareFoldsAsciiOnly) {
  EXPECT_EQ(RString("Rock").CaseCompare("rOCK"), 0);
  EXPECT_LT(RString("abc").CaseCompare("ABD"), 0);
  EXPECT_GT(RString("b").CaseCompare("A"), 0);
  EXPECT_LT(RString("ab").CaseCompare("abc"), 0);
  EXPECT_GT(RString("a").CaseCompare(RString()), 0);
  EXPECT_EQ(RString().CaseCompare("abc"), 0);
  EXPECT_NE(RString("\xE1").CaseCompare("\xC1"), 0);
  // Bytes order as unsigned values.
  EXPECT_GT(RString("\xF1").CaseCompare("z"), 0);
}

TEST(RStringTest, IsSubStringSpecialIgnoresAccentsAndCase) {
  EXPECT_TRUE(RString("CANCI\xD3N FINAL").IsSubStringSpecial("cancion"));
  EXPECT_TRUE(RString("Canci\xF3n").IsSubStringSpecial("CANCI\xD3N"));
  EXPECT_TRUE(RString("caf\xE9").IsSubStringSpecial("\xC9"));
  EXPECT_TRUE(RString("\xDC\xC4\xCF").IsSubStringSpecial("uai"));
  EXPECT_TRUE(RString("Abba").IsSubStringSpecial("BB"));
  EXPECT_TRUE(RString("ESPA\xD1" "A").IsSubStringSpecial("espa\xF1" "a"));
  EXPECT_TRUE(RString("x").IsSubStringSpecial(""));
  EXPECT_TRUE(RString().IsSubStringSpecial(RString()));
}

TEST(RStringTest, IsSubStringSpecialMismatches) {
  EXPECT_FALSE(RString("ESPA\xD1" "A").IsSubStringSpecial("espana"));
  EXPECT_FALSE(RString("\xF1").IsSubStringSpecial("n"));
  EXPECT_FALSE(RString("N").IsSubStringSpecial("\xD1"));
  EXPECT_FALSE(RString("A").IsSubStringSpecial("E"));
  EXPECT_FALSE(RString("ab").IsSubStringSpecial("abc"));
  EXPECT_FALSE(RString().IsSubStringSpecial("a"));
  EXPECT_FALSE(RString("Mississipi").IsSubStringSpecial("issipp"));
}

// A partial match that breaks does not hide a match starting inside it.
TEST(RStringTest, IsSubStringSpecialFindsMatchesInsidePartialOnes) {
  EXPECT_TRUE(RString("aaab").IsSubStringSpecial("aab"));
  EXPECT_TRUE(RString("A00007 Disco").IsSubStringSpecial("07"));
  EXPECT_TRUE(RString("Abba").IsSubStringSpecial("ba"));
  EXPECT_TRUE(RString("Mississippi").IsSubStringSpecial("issip"));
  EXPECT_TRUE(RString("Canci\xF3n de cuna").IsSubStringSpecial("CUNA"));
}

TEST(RStringTest, NumberTestsAcceptDigitsAndMinusSigns) {
  EXPECT_TRUE(RString("123").IsNumber());
  EXPECT_TRUE(RString("1-2-").IsNumber());
  EXPECT_TRUE(RString("").IsNumber());
  EXPECT_TRUE(RString().IsNumber());
  EXPECT_FALSE(RString(" 5").IsNumber());
  EXPECT_FALSE(RString("1.5").IsNumber());

  EXPECT_EQ(RString("80").ToInteger(), 80);
  EXPECT_EQ(RString("-3").ToInteger(), -3);
  EXPECT_EQ(RString("1-2").ToInteger(), 1);
  EXPECT_EQ(RString("12a").ToInteger(), 0);
  EXPECT_EQ(RString(" 5").ToInteger(), 0);
  EXPECT_EQ(RString("").ToInteger(), 0);
  EXPECT_EQ(RString().ToInteger(), 0);
}

TEST(RStringTest, FloatTestsCheckOnlyAroundTheFirstDot) {
  EXPECT_TRUE(RString("1.5").IsFloat());
  EXPECT_TRUE(RString("--1.5").IsFloat());
  EXPECT_TRUE(RString("abc").IsFloat());
  EXPECT_TRUE(RString(".").IsFloat());
  EXPECT_TRUE(RString().IsFloat());
  EXPECT_FALSE(RString("1.5.2").IsFloat());
  EXPECT_FALSE(RString("1.x").IsFloat());
  EXPECT_FALSE(RString("a.5").IsFloat());

  EXPECT_FLOAT_EQ(RString("-1.5").ToFloat(), -1.5f);
  EXPECT_FLOAT_EQ(RString("0.1").ToFloat(), 0.1f);
  EXPECT_FLOAT_EQ(RString("abc").ToFloat(), 0.0f);
  EXPECT_FLOAT_EQ(RString("1.5.2").ToFloat(), 0.0f);
  EXPECT_FLOAT_EQ(RString().ToFloat(), 0.0f);
}

// A borrowed text reads like any other, is never released and never
// written: copies and edits get buffers of their own.
TEST(RStringTest, BorrowedTextIsReadButNeverReleasedOrWritten) {
  static const char kShared[] = "01 Tema.mp3";
  {
    RString borrowed = RString::Borrowing(kShared, 7);
    EXPECT_EQ(borrowed.c_str(), kShared);
    EXPECT_EQ(borrowed.GetLength(), 7u);
    const RString copy = borrowed;
    EXPECT_NE(copy.c_str(), kShared);
    EXPECT_TRUE(copy == RString("01 Tema"));
    RString moved = std::move(borrowed);
    EXPECT_EQ(moved.c_str(), kShared);
    moved += "!";
    EXPECT_STREQ(moved.c_str(), "01 Tema!");
    moved = RString::Borrowing(kShared, 11);
    moved.RemoveLastChar();
    EXPECT_STREQ(moved.c_str(), "01 Tema.mp");
  }
  EXPECT_STREQ(kShared, "01 Tema.mp3");
  EXPECT_STREQ(RString("abcdef", 3).c_str(), "abc");
}

}  // namespace
