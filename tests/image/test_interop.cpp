// Picture files from elsewhere. Files written by other programs at test time
// load with the right pixels, and the files written here open in those
// programs with the same pixels. Every BMP layout the reader takes refuses
// each of its truncations.
#include "bmp_layouts.h"
#include "image/dib.h"
#include "image_test_util.h"

using namespace imgtest;
using bmplayout::BmpLayouts;

namespace {

// With a known number of colours, so paletted files are lossless; 0 for
// many colours.
Picture WithColours(int colours) {
  return MakePicture(23, 11, [&](int x, int y) {
    if (colours == 0) return RGB(x * 11, y * 23, (x * y * 5) % 256);
    const int i = (x * 3 + y * 7) % colours;
    if (colours == 2) return i ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return RGB((i * 37) % 256, (i * 91) % 256, (i * 13 + 50) % 256);
  });
}

struct BmpKind {
  const char* name;
  const char* args;  // between the source and the output of convert
  int colours;       // of the source picture
  std::uint32_t headerSize;
  int bitCount;
  std::uint32_t compression;
};
void PrintTo(const BmpKind& kind, std::ostream* os) { *os << kind.name; }

const BmpKind kBmpKinds[] = {
    {"BMP3 24-bit", "BMP3:", 0, 40, 24, 0},
    {"BMP2 24-bit, core header", "BMP2:", 0, 12, 24, 0},
    {"BMP 24-bit, V5 header", "BMP:", 0, 124, 24, 0},
    {"BMP3 32-bit", "-define bmp3:alpha=true -alpha on BMP3:", 0, 40, 32, 0},
    {"BMP 32-bit bit fields, V5 header", "-alpha on BMP:", 0, 124, 32, 3},
    {"BMP 16-bit 5-6-5", "-define bmp:subtype=RGB565 BMP:", 0, 124, 16, 3},
    {"BMP3 8-bit", "-compress None -type palette BMP3:", 40, 40, 8, 0},
    {"BMP2 8-bit, core header", "-type palette BMP2:", 40, 12, 8, 0},
    {"BMP3 8-bit RLE", "-compress RLE -type palette BMP3:", 40, 40, 8, 1},
    {"BMP3 4-bit", "-type palette BMP3:", 12, 40, 4, 0},
    {"BMP3 1-bit", "-type bilevel BMP3:", 2, 40, 1, 0},
};

class ImageMagickBmp : public ::testing::TestWithParam<BmpKind> {
 protected:
  void SetUp() override {
    m_convert = FindTool("convert");
    if (m_convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  }
  // ImageMagick's own reading of the folder's file name.bmp, as 8-bit RGB.
  bool ImageMagickPixels(const std::string& name, Picture* out) {
    const std::string ppm = m_dir / (name + ".ppm");
    return RunCommand(m_convert + " " + m_dir / (name + ".bmp") +
                      " -depth 8 -type TrueColor ppm:" + ppm) &&
           ReadPnm(ppm, out);
  }
  std::string m_convert;
  TempFolder m_dir;
};

}  // namespace

TEST_P(ImageMagickBmp, LoadsWithTheRightPixelsAndWritesBackWhatImageMagickReads) {
  const BmpKind& kind = GetParam();
  const Picture source = WithColours(kind.colours);
  WritePpm(m_dir / "src.ppm", source);
  ASSERT_TRUE(RunCommand(m_convert + " " + m_dir / "src.ppm" + " " + kind.args + m_dir / "in.bmp"));
  const Bytes file = ReadFileBytes(m_dir / "in.bmp");
  ASSERT_GT(file.size(), 30u);
  const std::uint32_t headerSize = plat::GetLe32(&file[14]);
  ASSERT_EQ(headerSize, kind.headerSize) << "convert wrote another variant";
  const bool core = headerSize == 12;
  ASSERT_EQ(plat::GetLe16(&file[core ? 24 : 28]), kind.bitCount) << "convert wrote another depth";
  ASSERT_TRUE(core || plat::GetLe32(&file[30]) == kind.compression) << "another compression";
  // What the file holds, as ImageMagick reads it; lossless variants hold the
  // source exactly, 16-bit ones its colours cut to 5 or 6 bits.
  Picture held;
  ASSERT_TRUE(ImageMagickPixels("in", &held));
  ASSERT_TRUE(kind.bitCount == 16 || MaxChannelDifference(held, source) == 0)
      << "ImageMagick reads other pixels than it wrote";

  CDib dib;
  ASSERT_TRUE(dib.Load(m_dir / "in.bmp"));
  // 16-bit channels are widened by a shift here, as on the platform, while
  // ImageMagick scales them: 31 becomes 248 against 255.
  EXPECT_LE(MaxChannelDifference(PaintToPicture(dib), held), kind.bitCount == 16 ? 7 : 0);

  ASSERT_TRUE(dib.Save(m_dir / "out.bmp"));
  Picture back;
  ASSERT_TRUE(ImageMagickPixels("out", &back));
  EXPECT_EQ(MaxChannelDifference(back, held), 0) << "the same bytes written back";
}

INSTANTIATE_TEST_SUITE_P(EveryVariantItWrites, ImageMagickBmp, ::testing::ValuesIn(kBmpKinds));

// ImageMagick writes its JPEG files through the same library as cjpeg, so
// cjpeg's files cover them. Samplings and restart markers are the library's
// own; the binding only tells grey from colour, and bounds progressive scans.
TEST(CjpegJpeg, LoadsWithThePixelsTheReferenceDecoderGives) {
  const std::string cjpeg = FindTool("cjpeg"), djpeg = FindTool("djpeg");
  if (cjpeg.empty() || djpeg.empty()) GTEST_SKIP() << "cjpeg or djpeg is not installed";
  TempFolder dir;
  WritePpm(dir / "src.ppm", Smooth(67, 45));
  const std::string jpg = dir / "in.jpg";
  for (const char* args : {"", "-progressive", "-grayscale"}) {
    SCOPED_TRACE(args);
    ASSERT_TRUE(RunCommand(cjpeg + " " + args + " -outfile " + jpg + " " + dir / "src.ppm"));
    ASSERT_TRUE(RunCommand(djpeg + " -pnm -outfile " + dir / "ref.pnm" + " " + jpg));
    Picture reference;
    ASSERT_TRUE(ReadPnm(dir / "ref.pnm", &reference));
    CDib dib;
    ASSERT_TRUE(dib.Load(jpg));
    ASSERT_EQ(dib.GetBitCount(), 24);
    EXPECT_LE(MaxChannelDifference(PixelsOf(*dib.Block()), reference), 1);
    EXPECT_LE(MaxChannelDifference(PaintToPicture(dib), reference), 1);
  }
}

// Every layout the reader takes loads whole, and refuses each of its
// truncations. Random damage to these files, and to JPEG files, is the
// fuzz_bmp and fuzz_jpeg targets' work.
// Loads the file and, when it loads, checks the block, draws it stretched and
// at its own size, and writes it again; false when it is refused.
bool LoadsAndDraws(const TempFolder& dir, const Bytes& file) {
  WriteFileBytes(dir / "t.bmp", file);
  CDib dib;
  if (!dib.Load(dir / "t.bmp")) {
    EXPECT_EQ(dib.Block(), nullptr);
    return false;
  }
  const PackedDib& block = *dib.Block();
  EXPECT_TRUE(dib::ParseDib(block.bytes.data(), block.bytes.size(), nullptr));
  if (std::int64_t(dib.Width()) * dib.Height() <= (1 << 20)) {
    CBitmap bitmap;
    bitmap.CreateBitmap(24, 24);
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(&bitmap);
    const RECT small{0, 0, 24, 24}, own{0, 0, dib.Width(), dib.Height()};
    dib.Paint(&mem, &small), dib.Paint(&mem, &own);
  }
  EXPECT_TRUE(dib.Save(dir / "again.bmp") && CDib().Load(dir / "again.bmp"));
  return true;
}

// Every cut of every layout is refused, and every header field set to an
// extreme is refused or loads as a valid picture. Random damage, to JPEG
// files too, is the fuzz targets' work (tests/fuzz, run by scripts/test).
TEST(HostileFiles, NoCutLoadsAndExtremeFieldsAreRefusedOrLoadAsValidPictures) {
  TempFolder dir;
  const std::uint32_t extremes[] = {0,      1,          0xFFFF,     0x10000,
                                    0x7FFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
  int loaded = 0, refused = 0;
  for (const Bytes& seed : BmpLayouts()) {
    ASSERT_TRUE(LoadsAndDraws(dir, seed));
    for (std::size_t n = 0; n < seed.size(); ++n)
      EXPECT_FALSE(LoadsAndDraws(dir, Bytes(seed.begin(), seed.begin() + n))) << "cut at " << n;
    // The headers, masks, tables and the first pixels, run-length codes too.
    const std::size_t fields = std::min<std::size_t>(seed.size(), 160);
    for (std::size_t at = 0; at + 4 <= fields; at += 2)
      for (std::uint32_t v : extremes) {
        Bytes changed = seed;
        plat::PutLe32(&changed[at], v);
        ++(LoadsAndDraws(dir, changed) ? loaded : refused);
      }
  }
  EXPECT_GT(std::min(loaded, refused), 100);
}
