// Picture files from elsewhere. Files written by other programs at test time
// load with the right pixels, and the files written here open in those
// programs with the same pixels. Random and hostile files: mutated valid
// files (fixed seed), truncations and absurd header fields never crash, hang
// or yield a block that fails validation.
#include <gtest/gtest.h>

#include <random>

#include "image/dib.h"
#include "image_test_util.h"

using namespace imgtest;

namespace {

// A BMP file: file header, information header, masks or table, pixel bytes.
Bytes BmpFile(std::uint32_t headerSize, int w, int h, int bits, DWORD compression,
              const std::vector<std::uint32_t>& tableOrMasks, const Bytes& pixels) {
  Bytes f(14 + headerSize);
  plat::PutLe16(f.data(), kBmpSignature);
  if (headerSize == 12) {
    plat::PutLe32(&f[14], 12), plat::PutLe16(&f[18], std::uint16_t(w));
    plat::PutLe16(&f[20], std::uint16_t(h)), plat::PutLe16(&f[22], 1);
    plat::PutLe16(&f[24], std::uint16_t(bits));
    for (std::uint32_t c : tableOrMasks)
      f.insert(f.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
  } else {
    BITMAPINFOHEADER hdr;
    hdr.biSize = headerSize, hdr.biWidth = w, hdr.biHeight = h, hdr.biBitCount = WORD(bits);
    hdr.biCompression = compression;
    hdr.biSizeImage = compression == BI_RLE8 || compression == BI_RLE4 ? DWORD(pixels.size()) : 0;
    const bool masks = compression == BI_BITFIELDS;
    hdr.biClrUsed = masks ? 0 : DWORD(tableOrMasks.size());
    dib::WriteInfoHeader(&f[14], hdr);
    if (masks && headerSize > 40) {
      for (std::size_t i = 0; i < tableOrMasks.size(); ++i)
        plat::PutLe32(&f[54 + 4 * i], tableOrMasks[i]);
    } else {
      for (std::uint32_t c : tableOrMasks) {
        f.insert(f.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16),
                           std::uint8_t(c >> 24)});
      }
    }
  }
  plat::PutLe32(&f[10], std::uint32_t(f.size()));
  f.insert(f.end(), pixels.begin(), pixels.end());
  plat::PutLe32(&f[2], std::uint32_t(f.size()));
  return f;
}

Bytes Pattern(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i * 37 + 11);
  return b;
}

std::vector<Bytes> BmpSeeds() {
  const std::vector<std::uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  std::vector<std::uint32_t> table16(16, 0x336699);
  // RLE8: a run, end of line, a delta, an absolute run (padded), end of bitmap.
  const Bytes rle8 = {4, 1, 0, 0, 0, 2, 1, 0, 0, 3, 2, 3, 4, 0, 0, 0, 2, 2, 0, 1};
  const Bytes rle4 = {4, 0x12, 0, 0, 0, 4, 0x34, 0x12, 0, 0, 0, 1};
  return {
      BmpFile(40, 9, 5, 24, BI_RGB, {}, Pattern(28 * 5)),
      BmpFile(40, 9, -5, 24, BI_RGB, {}, Pattern(28 * 5)),
      BmpFile(40, 9, 5, 8, BI_RGB, table, Pattern(12 * 5)),
      BmpFile(40, 9, 5, 4, BI_RGB, table16, Pattern(8 * 5)),
      BmpFile(40, 33, 3, 1, BI_RGB, {0, 0xFFFFFF}, Pattern(8 * 3)),
      BmpFile(12, 9, 5, 8, BI_RGB, std::vector<std::uint32_t>(256, 0x808080), Pattern(12 * 5)),
      BmpFile(40, 4, 3, 8, BI_RLE8, table, rle8),
      BmpFile(40, 4, 3, 4, BI_RLE4, table16, rle4),
      BmpFile(40, 9, 5, 16, BI_BITFIELDS, {0xF800, 0x7E0, 0x1F}, Pattern(20 * 5)),
      BmpFile(124, 9, 5, 32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, Pattern(36 * 5)),
      BmpFile(108, 9, 5, 32, BI_RGB, {}, Pattern(36 * 5)),
  };
}

// Our own file and, when cjpeg is installed, other samplings, qualities and
// codings, for the decoder's other paths.
std::vector<Bytes> JpegSeeds(const TempFolder& dir) {
  const Picture pic = Smooth(21, 13);
  CDib dib;
  EXPECT_TRUE(dib.Attach(MakeDib24(pic)) && dib.Save(dir / "seed.jpg"));
  std::vector<Bytes> seeds = {ReadFileBytes(dir / "seed.jpg")};
  const std::string cjpeg = FindTool("cjpeg");
  WritePpm(dir / "seed.ppm", pic);
  for (const char* args : {"-sample 1x1 -quality 50", "-sample 2x1", "-progressive",
                           "-restart 1 -grayscale", "-arithmetic"}) {
    if (!cjpeg.empty() &&
        RunCommand(cjpeg + " " + args + " -outfile " + dir / "seed.jpg" + " " + dir / "seed.ppm"))
      seeds.push_back(ReadFileBytes(dir / "seed.jpg"));
  }
  return seeds;
}

enum class Mutation { kBytes, kField, kTruncate, kChunk };

// One random change; returns which kind it was.
Mutation Mutate(Bytes& data, std::mt19937& rng) {
  auto pick = [&](std::size_t n) { return std::size_t(rng() % std::max<std::size_t>(n, 1)); };
  const Mutation kind = Mutation(rng() % 4);
  switch (kind) {
    case Mutation::kBytes:
      for (int i = 0, n = 1 + int(rng() % 8); i < n && !data.empty(); ++i)
        data[pick(data.size())] = std::uint8_t(rng());
      break;
    case Mutation::kField: {
      static const std::uint32_t kExtremes[] = {0,      1,          0xFFFF,     0x10000,
                                                0x7FFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
      const std::size_t at = pick(std::min<std::size_t>(data.size(), 200)) & ~std::size_t(1);
      if (at + 4 <= data.size()) plat::PutLe32(&data[at], kExtremes[pick(std::size(kExtremes))]);
      break;
    }
    case Mutation::kTruncate:
      data.resize(pick(data.size()));
      break;
    case Mutation::kChunk: {
      const std::size_t from = pick(data.size()), len = 1 + pick(64);
      if (rng() % 2) {
        data.erase(data.begin() + from, data.begin() + std::min(data.size(), from + len));
      } else {
        data.insert(data.begin() + from, len, std::uint8_t(rng()));
      }
      break;
    }
  }
  return kind;
}

struct Outcome {
  int loaded = 0, refused = 0, truncatedLoaded = 0;
};

// Loads the file and, when it loads, draws it both ways and writes it again.
void Exercise(const TempFolder& dir, const std::string& path, bool truncated, Outcome* out) {
  CDib dib;
  if (!dib.Load(path)) {
    ++out->refused;
    EXPECT_EQ(dib.Block(), nullptr);
    return;
  }
  ++out->loaded;
  if (truncated) ++out->truncatedLoaded;
  const PackedDib* block = dib.Block();
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(dib::ParseDib(block->bytes.data(), block->bytes.size(), nullptr));
  if (std::int64_t(dib.Width()) * dib.Height() <= (1 << 20)) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(24, 24));
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(&bitmap);
    const RECT small{0, 0, 24, 24}, own{0, 0, dib.Width(), dib.Height()};
    dib.Paint(&mem, &small);
    dib.Paint(&mem, &own);
  }
  EXPECT_TRUE(dib.Save(dir / "again.bmp"));
  if (dib.GetBitCount() == 24) dib.Save(dir / "again.jpg");
}

// Every seed loads; 2500 fixed-seed mutations of them are refused or load as
// valid pictures, and no truncation loads.
void Fuzz(const TempFolder& dir, const std::vector<Bytes>& seeds, const std::string& ext,
          unsigned seed) {
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    WriteFileBytes(dir / ("seed" + ext), seeds[i]);
    CDib dib;
    ASSERT_TRUE(dib.Load(dir / ("seed" + ext))) << "seed " << i << " is valid";
  }
  std::mt19937 rng(seed);
  Outcome outcome;
  for (int i = 0; i < 2500; ++i) {
    Bytes data = seeds[rng() % seeds.size()];
    const Mutation kind = Mutate(data, rng);
    WriteFileBytes(dir / ("m" + ext), data);
    Exercise(dir, dir / ("m" + ext), kind == Mutation::kTruncate, &outcome);
  }
  EXPECT_EQ(outcome.truncatedLoaded, 0) << "every seed needs all of its bytes";
  EXPECT_GT(outcome.loaded, 100) << "mutations of pixel bytes still load";
  EXPECT_GT(outcome.refused, 100);
}

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

TEST(HostileFiles, MutatedBmpFilesAreRefusedOrLoadAsValidPictures) {
  TempFolder dir;
  Fuzz(dir, BmpSeeds(), ".bmp", 20240601);
}

TEST(HostileFiles, MutatedJpegFilesAreRefusedOrLoadAsValidPictures) {
  TempFolder dir;
  Fuzz(dir, JpegSeeds(dir), ".jpg", 20240602);
}
