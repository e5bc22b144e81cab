#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "platform/desktop.h"

namespace {

TEST(CodePage, TextBecomesItsGbkBytesAndCharactersOutsideGbkSurviveTheRoundTrip) {
  EXPECT_EQ(GBK("宋体"), std::string("\xCB\xCE\xCC\xE5"));
  EXPECT_EQ(plat::Utf8FromGbk("\xCB\xCE\xCC\xE5"), "宋体");
  EXPECT_EQ(GBK("Orin_TAK 1.5"), "Orin_TAK 1.5");
  EXPECT_EQ(GBK(""), "");
}

TEST(CodePage, EveryGbkDoubleByteCharacterRoundTripsAndTheStrictCheckRejectsBytesThatAreNone) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gbk{char(lead), char(trail)};
      ASSERT_TRUE(plat::IsValidGbk(gbk)) << std::hex << lead << trail;
      const std::string utf8 = plat::Utf8FromGbk(gbk);
      ASSERT_EQ(plat::GbkFromUtf8(utf8), gbk) << std::hex << lead << trail;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 126 * 190);

  for (const std::string utf8 : {"€", "😀", "ü", "Ǹ", "a€b😀c宋"}) {
    const std::string stored = plat::GbkFromUtf8(utf8);
    EXPECT_TRUE(plat::IsValidGbk(stored)) << utf8;
    EXPECT_EQ(plat::Utf8FromGbk(stored), utf8);
  }
  // The emoji needs the four-byte form, not a question mark.
  EXPECT_EQ(plat::GbkFromUtf8("😀").size(), 4u);

  EXPECT_TRUE(plat::IsValidGbk(""));
  EXPECT_TRUE(plat::IsValidGbk("plain ascii\r\n"));
  EXPECT_TRUE(plat::IsValidGbk(GBK("文件无法读取！")));
  EXPECT_FALSE(plat::IsValidGbk("\xFF"));
  EXPECT_FALSE(
      plat::IsValidGbk("abc\xFF"
                       "def"));
  EXPECT_FALSE(plat::IsValidGbk("\x80"));
  EXPECT_FALSE(plat::IsValidGbk("abc\x81"));      // lead byte cut off at the end
  EXPECT_FALSE(plat::IsValidGbk("\x81\x20xyz"));  // lead byte without a trail byte
  // Longer than the converter's chunk, with the fault at the far end.
  EXPECT_TRUE(plat::IsValidGbk(std::string(5000, 'x') + GBK("宋体")));
  EXPECT_FALSE(plat::IsValidGbk(std::string(5000, 'x') + "\xFF"));
}

TEST(CodePage, FilesNamedInTheProgramsCodePageAreTheLocalUtf8Names) {
  char templ[] = "/tmp/pointer-files-XXXXXX";
  ASSERT_NE(mkdtemp(templ), nullptr);
  const std::filesystem::path dir(templ);
  const std::string gbkPath = GBK(std::string(templ) + "/课件.zsy");

  EXPECT_FALSE(plat::FileExists(gbkPath));
  EXPECT_EQ(plat::OpenFile(gbkPath, "rb"), nullptr);
  std::FILE* f = plat::OpenFile(gbkPath, "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(std::filesystem::exists(dir / "课件.zsy"));
  EXPECT_TRUE(plat::FileExists(gbkPath));

  // A folder exists, but is no file to read.
  EXPECT_TRUE(plat::FileExists(templ));
  EXPECT_EQ(plat::OpenFile(templ, "rb"), nullptr);
  std::filesystem::remove_all(dir);
}

}  // namespace
