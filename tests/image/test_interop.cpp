// Files written by other programs at test time load with the right pixels,
// and the files written here open in those programs with the same pixels.
#include <gtest/gtest.h>

#include <cctype>

#include "image/dib.h"
#include "image_test_util.h"

using namespace imgtest;

namespace {

// Pictures with a known number of colours, so paletted files are lossless.
Picture WithColours(int colours) {
  return MakePicture(23, 11, [&](int x, int y) {
    const int i = (x * 3 + y * 7) % colours;
    if (colours == 2) return i ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return RGB((i * 37) % 256, (i * 91) % 256, (i * 13 + 50) % 256);
  });
}
Picture Rich() {
  return MakePicture(23, 11, [](int x, int y) { return RGB(x * 11, y * 23, (x * y * 5) % 256); });
}
Picture Smooth() {
  return MakePicture(67, 45,
                     [](int x, int y) { return RGB(x * 255 / 66, y * 255 / 44, 60 + x + y * 2); });
}

struct BmpKind {
  const char* name;
  const char* args;  // between the source and the output of convert
  int colours;       // of the source picture; 0 for the rich one
  std::uint32_t headerSize;
  int bitCount;
  std::uint32_t compression;
  // 16-bit channels are widened by a shift here, as on the platform, while
  // ImageMagick scales them: 31 becomes 248 against 255.
  int tolerance;
};

const BmpKind kBmpKinds[] = {
    {"BMP3 24-bit", "BMP3:", 0, 40, 24, 0, 0},
    {"BMP2 24-bit, core header", "BMP2:", 0, 12, 24, 0, 0},
    {"BMP 24-bit, V5 header", "BMP:", 0, 124, 24, 0, 0},
    {"BMP3 32-bit", "-define bmp3:alpha=true -alpha on BMP3:", 0, 40, 32, 0, 0},
    {"BMP 32-bit bit fields, V5 header", "-alpha on BMP:", 0, 124, 32, 3, 0},
    {"BMP 16-bit 5-6-5", "-define bmp:subtype=RGB565 BMP:", 0, 124, 16, 3, 7},
    {"BMP 16-bit 5-5-5", "-define bmp:subtype=RGB555 BMP:", 0, 124, 16, 3, 7},
    {"BMP3 8-bit", "-compress None -type palette BMP3:", 40, 40, 8, 0, 0},
    {"BMP 8-bit, V5 header", "-compress None -type palette BMP:", 40, 124, 8, 0, 0},
    {"BMP2 8-bit, core header", "-type palette BMP2:", 40, 12, 8, 0, 0},
    {"BMP3 8-bit RLE", "-compress RLE -type palette BMP3:", 40, 40, 8, 1, 0},
    {"BMP3 4-bit", "-type palette BMP3:", 12, 40, 4, 0, 0},
    {"BMP2 4-bit, core header", "-type palette BMP2:", 12, 12, 4, 0, 0},
    {"BMP3 1-bit", "-type bilevel BMP3:", 2, 40, 1, 0, 0},
};

class ImageMagickBmp : public ::testing::TestWithParam<BmpKind> {
 protected:
  void SetUp() override {
    m_convert = FindTool("convert");
    if (m_convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  }
  // ImageMagick's own reading of the folder's file name.bmp, as 8-bit RGB.
  bool ImageMagickPixels(const std::string& name, Picture* out) {
    const std::string ppm = m_dir.Path(name + ".ppm");
    return RunCommand(m_convert + " " + m_dir.Path(name + ".bmp") +
                      " -depth 8 -type TrueColor ppm:" + ppm) &&
           ReadPnm(ppm, out);
  }
  std::string m_convert;
  TempDir m_dir;
};

// ImageMagick writes its JPEG files through the same library as cjpeg: the
// cjpeg kinds cover them.
struct JpegKind {
  const char* name;
  const char* args;
};

const JpegKind kJpegKinds[] = {{"baseline", ""},
                               {"progressive", "-progressive"},
                               {"greyscale", "-grayscale"},
                               {"420 sampling", "-sample 2x2"},
                               {"444 sampling", "-sample 1x1 -quality 100"},
                               {"restart markers", "-restart 1"},
                               {"restart every 3 blocks", "-restart 3B -optimize"}};

class CjpegJpeg : public ::testing::TestWithParam<JpegKind> {};

// A test name from a kind's name: its letters and digits.
template <typename Kind>
std::string NameOf(const ::testing::TestParamInfo<Kind>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) {
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  }
  return name;
}

}  // namespace

TEST_P(ImageMagickBmp, LoadsWithTheRightPixelsAndWritesBackWhatImageMagickReads) {
  const BmpKind& kind = GetParam();
  const Picture source = kind.colours ? WithColours(kind.colours) : Rich();
  WritePpm(m_dir.Path("src.ppm"), source);
  ASSERT_TRUE(
      RunCommand(m_convert + " " + m_dir.Path("src.ppm") + " " + kind.args + m_dir.Path("in.bmp")));
  const Bytes file = ReadFileBytes(m_dir.Path("in.bmp"));
  ASSERT_GT(file.size(), 30u);
  const std::uint32_t headerSize = dib::Get32(&file[14]);
  ASSERT_EQ(headerSize, kind.headerSize) << "convert wrote another variant";
  const bool core = headerSize == 12;
  ASSERT_EQ(dib::Get16(&file[core ? 24 : 28]), kind.bitCount) << "convert wrote another depth";
  ASSERT_TRUE(core || dib::Get32(&file[30]) == kind.compression) << "another compression";
  // What the file holds, as ImageMagick reads it; lossless variants hold the
  // source exactly, 16-bit ones its colours cut to 5 or 6 bits.
  Picture held;
  ASSERT_TRUE(ImageMagickPixels("in", &held));
  ASSERT_TRUE(kind.bitCount == 16 || MaxChannelDifference(held, source) == 0)
      << "ImageMagick reads other pixels than it wrote";

  CDib dib;
  ASSERT_TRUE(dib.Load(m_dir.Path("in.bmp")));
  EXPECT_LE(MaxChannelDifference(PaintToPicture(dib), held), kind.tolerance);

  ASSERT_TRUE(dib.Save(m_dir.Path("out.bmp")));
  Picture back;
  ASSERT_TRUE(ImageMagickPixels("out", &back));
  EXPECT_EQ(MaxChannelDifference(back, held), 0) << "the same bytes written back";
}

INSTANTIATE_TEST_SUITE_P(EveryVariantItWrites, ImageMagickBmp, ::testing::ValuesIn(kBmpKinds),
                         NameOf<BmpKind>);

TEST(ImageMagickBmpQuirks, BitFieldsWithoutTheirMasksAreRefusedNotMisread) {
  const std::string convert = FindTool("convert");
  if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  TempDir dir;
  WritePpm(dir.Path("src.ppm"), Rich());
  // This variant declares bit fields in a 40-byte header but stores no masks;
  // reading masks from the pixels would shift every pixel.
  ASSERT_TRUE(RunCommand(convert + " " + dir.Path("src.ppm") +
                         " -define bmp:subtype=RGB565 BMP3:" + dir.Path("in.bmp")));
  const Bytes file = ReadFileBytes(dir.Path("in.bmp"));
  ASSERT_GT(file.size(), 54u);
  if (dib::Get32(&file[10]) != 54) GTEST_SKIP() << "this ImageMagick writes the masks";
  CDib dib;
  EXPECT_FALSE(dib.Load(dir.Path("in.bmp")));
}

TEST_P(CjpegJpeg, LoadsWithThePixelsTheReferenceDecoderGives) {
  const JpegKind& kind = GetParam();
  const std::string cjpeg = FindTool("cjpeg"), djpeg = FindTool("djpeg");
  if (cjpeg.empty() || djpeg.empty()) GTEST_SKIP() << "cjpeg or djpeg is not installed";
  TempDir dir;
  WritePpm(dir.Path("src.ppm"), Smooth());
  const std::string jpg = dir.Path("in.jpg");
  ASSERT_TRUE(RunCommand(cjpeg + " " + kind.args + " -outfile " + jpg + " " + dir.Path("src.ppm")));
  ASSERT_TRUE(RunCommand(djpeg + " -pnm -outfile " + dir.Path("ref.pnm") + " " + jpg));
  Picture reference;
  ASSERT_TRUE(ReadPnm(dir.Path("ref.pnm"), &reference));

  CDib dib;
  ASSERT_TRUE(dib.Load(jpg));
  ASSERT_EQ(dib.GetBitCount(), 24);
  EXPECT_LE(MaxChannelDifference(PixelsOf(*dib.Block()), reference), 1);
  EXPECT_LE(MaxChannelDifference(PaintToPicture(dib), reference), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, CjpegJpeg, ::testing::ValuesIn(kJpegKinds), NameOf<JpegKind>);

TEST(JpegToOtherPrograms, TheReferenceDecoderReadsOurFileUprightWithTheSamePixels) {
  const std::string djpeg = FindTool("djpeg");
  if (djpeg.empty()) GTEST_SKIP() << "djpeg is not installed";
  TempDir dir;
  const Picture source = Smooth();
  CDib dib;
  ASSERT_TRUE(dib.Attach(MakeDib24(source)));
  ASSERT_TRUE(dib.Save(dir.Path("ours.jpg")));
  ASSERT_TRUE(
      RunCommand(djpeg + " -ppm -outfile " + dir.Path("d.ppm") + " " + dir.Path("ours.jpg")));
  Picture decoded;
  ASSERT_TRUE(ReadPnm(dir.Path("d.ppm"), &decoded));
  // Quality 100 keeps every channel of every pixel within a few steps.
  EXPECT_LE(MaxChannelDifference(decoded, source), 4);
}
