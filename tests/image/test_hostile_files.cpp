// Random and hostile picture files: mutated valid files (fixed seed),
// truncations and absurd header fields never crash, hang or yield a block
// that fails validation.
#include <gtest/gtest.h>

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
    for (std::uint32_t c : tableOrMasks) {
      f.insert(f.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
    }
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
      for (int i = 0, n = 1 + int(rng() % 8); i < n && !data.empty(); ++i) {
        data[pick(data.size())] = std::uint8_t(rng());
      }
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
  const int bits = dib.GetBitCount();
  EXPECT_TRUE(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
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
  if (bits == 24) dib.Save(dir.Path("again.jpg"));
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

}  // namespace

TEST(HostileFiles, MutatedBmpFilesAreRefusedOrLoadAsValidPictures) {
  TempDir dir;
  Fuzz(dir, BmpSeeds(), ".bmp", 20240601);
}

TEST(HostileFiles, MutatedJpegFilesAreRefusedOrLoadAsValidPictures) {
  TempDir dir;
  Fuzz(dir, JpegSeeds(dir), ".jpg", 20240602);
}
