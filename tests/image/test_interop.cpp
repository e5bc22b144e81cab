// Picture files from elsewhere. Files written by other programs at test time
// load with the right pixels, and the files written here open in those
// programs with the same pixels. Random and hostile files: mutated valid
// files (fixed seed), truncations and absurd header fields never crash, hang
// or yield a block that fails validation.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>

#include "image/dib.h"
#include "image_test_util.h"
#include "platform/ijl.h"

using namespace imgtest;

namespace {

// A BMP file: file header, information header, masks or table, pixel bytes.
Bytes BmpFile(std::uint32_t headerSize, int w, int h, int bits, DWORD compression,
              const std::vector<std::uint32_t>& tableOrMasks, const Bytes& pixels) {
  Bytes f(14 + headerSize);
  dib::Put16(f.data(), kBmpSignature);
  if (headerSize == 12) {
    dib::Put32(&f[14], 12), dib::Put16(&f[18], std::uint16_t(w));
    dib::Put16(&f[20], std::uint16_t(h)), dib::Put16(&f[22], 1);
    dib::Put16(&f[24], std::uint16_t(bits));
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
        dib::Put32(&f[54 + 4 * i], tableOrMasks[i]);
    } else {
      for (std::uint32_t c : tableOrMasks) {
        f.insert(f.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16),
                           std::uint8_t(c >> 24)});
      }
    }
  }
  dib::Put32(&f[10], std::uint32_t(f.size()));
  f.insert(f.end(), pixels.begin(), pixels.end());
  dib::Put32(&f[2], std::uint32_t(f.size()));
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

std::vector<Bytes> JpegSeeds(const TempDir& dir) {
  std::vector<Bytes> seeds;
  const Picture pic =
      MakePicture(21, 13, [](int x, int y) { return RGB(x * 12, y * 19, (x ^ y) * 8); });
  HDIB block = MakeDib24(pic);
  const std::size_t stride = std::size_t(dib::RowBytes(24, 21));
  // Straight through the codec: three samplings at two qualities.
  const std::pair<IJL_JPGSUBSAMPLING, int> kinds[] = {
      {IJL_NONE, 100}, {IJL_411, 50}, {IJL_422, 80}};
  for (auto [sampling, quality] : kinds) {
    JPEG_CORE_PROPERTIES props{};
    EXPECT_EQ(ijlInit(&props), IJL_OK);
    std::strcpy(props.JPGFile, dir.Path("seed.jpg").c_str());
    props.DIBBytes = block->bytes.data() + 40;
    props.DIBWidth = 21, props.DIBHeight = -13, props.DIBPadBytes = int(stride) - 63;
    props.JPGSubsampling = sampling, props.jquality = quality;
    EXPECT_EQ(ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE), IJL_OK);
    ijlFree(&props);
    seeds.push_back(ReadFileBytes(dir.Path("seed.jpg")));
  }
  const std::string cjpeg = FindTool("cjpeg");
  if (!cjpeg.empty()) {
    WritePpm(dir.Path("seed.ppm"), pic);
    for (const char* args : {"-progressive", "-restart 1 -grayscale", "-arithmetic"}) {
      if (RunCommand(cjpeg + " " + args + " -outfile " + dir.Path("seed.jpg") + " " +
                     dir.Path("seed.ppm"))) {
        seeds.push_back(ReadFileBytes(dir.Path("seed.jpg")));
      }
    }
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
      if (at + 4 <= data.size()) dib::Put32(&data[at], kExtremes[pick(std::size(kExtremes))]);
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
void Exercise(const TempDir& dir, const std::string& path, bool truncated, Outcome* out) {
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
  EXPECT_TRUE(dib.Save(dir.Path("again.bmp")));
  if (dib.GetBitCount() == 24) dib.Save(dir.Path("again.jpg"));
}

// Every seed loads; 2500 fixed-seed mutations of them are refused or load as
// valid pictures, and no truncation loads.
void Fuzz(const TempDir& dir, const std::vector<Bytes>& seeds, const std::string& ext,
          unsigned seed) {
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    WriteFileBytes(dir.Path("seed" + ext), seeds[i]);
    CDib dib;
    ASSERT_TRUE(dib.Load(dir.Path("seed" + ext))) << "seed " << i << " is valid";
  }
  std::mt19937 rng(seed);
  Outcome outcome;
  for (int i = 0; i < 2500; ++i) {
    Bytes data = seeds[rng() % seeds.size()];
    const Mutation kind = Mutate(data, rng);
    WriteFileBytes(dir.Path("m" + ext), data);
    Exercise(dir, dir.Path("m" + ext), kind == Mutation::kTruncate, &outcome);
  }
  EXPECT_EQ(outcome.truncatedLoaded, 0) << "every seed needs all of its bytes";
  EXPECT_GT(outcome.loaded, 100) << "mutations of pixel bytes still load";
  EXPECT_GT(outcome.refused, 100);
}

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
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
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
  WritePpm(dir.Path("src.ppm"), Smooth(67, 45));
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
  const Picture source = Smooth(67, 45);
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

TEST(HostileFiles, MutatedBmpFilesAreRefusedOrLoadAsValidPictures) {
  TempDir dir;
  Fuzz(dir, BmpSeeds(), ".bmp", 20240601);
}

TEST(HostileFiles, MutatedJpegFilesAreRefusedOrLoadAsValidPictures) {
  TempDir dir;
  Fuzz(dir, JpegSeeds(dir), ".jpg", 20240602);
}
