// Writes the seed corpora of the fuzz targets with the program's own writers
// (and, for the BMP layouts it never writes, the picture tests' hand-made files):
//   fuzz_seeds DIR   makes DIR/pointer_file, DIR/bmp and DIR/jpeg.
#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "image/dib.h"
#include "platform/codepage.h"
#include "platform/dib_format.h"
#include "records/pointer_file.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/image/bmp_layouts.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Write(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}
std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

DrawRecord Rec(char op, int f1 = 0, int f2 = 0, int f3 = 0, int f4 = 0, int f5 = 0) {
  return DrawRecord{op, {0, 0, 0}, f1, f2, f3, f4, f5};
}

void PointerSeeds(const fs::path& dir) {
  struct Lesson {
    const char* name;
    std::vector<DrawRecord> records;
    std::list<std::string> texts;
  };
  const std::vector<Lesson> lessons = {
      {"empty", {}, {}},
      {"strokes",
       {Rec('1', 0, 0, PS_SOLID, 3, 0x0000FF), Rec('#', 10, 10, 5, 5), Rec('#', 20, 12, 10, 10),
        Rec('b', 30, 20), Rec('*', 60, 40, 2, 2), Rec('z', 40, 5, 60, 40), Rec('R', 50, 30, 5, 40)},
       {}},
      {"shapes",
       {Rec('2', 0, 0, 0, 0, 0x00FF00), Rec('3', 0, 0, 1, 1), Rec('@', 40, 30, 4, 4),
        Rec('3', 0, 0, 0, 1), Rec('r', 60, 44, 30, 20), Rec('$', 50, 40, 10, 8),
        Rec('1', 0, 0, PS_DASH, 1, 0xFF0000), Rec('$', 20, 20, 0, 0), Rec('f', 1, 1)},
       {}},
      {"transparent",
       {Rec('i'), Rec('2', 0, 0, 0, 0, 0x808080), Rec('@', 50, 40, 5, 5), Rec('a', 8, 8, 60, 30),
        Rec('c'), Rec('$', 60, 40, 20, 10)},
       {"over the picture"}},
      {"texts",
       {Rec('4', 1, 0, -16, 700), Rec('a', 4, 4, 60, 24), Rec('4', 0, 1, 0, 400),
        Rec('a', 2, 26, 62, 46), Rec('a', 10, 10, 12, 12), Rec('N', 1, 2, 3, 4, 5)},
       {GBK("宋体"), GBK("第一行"), "", "two\r\nlines", GBK("板书")}},
  };
  // A store filled to its last slot, and bytes past it that are not read.
  std::vector<DrawRecord> full;
  for (int i = 0; i < kRecordSlots; ++i)
    full.push_back(i % 2 ? Rec('#', i % 64, i % 48, (i + 7) % 64, i % 48)
                         : Rec('4', 0, 0, -i % 40));
  const std::list<std::string> faces(kRecordSlots / 2, "f");
  Write(dir / "full",
        fuzz::JoinPair(datafile::EncodeRecords(full.data(), kRecordSlots) + "0123456789",
                       datafile::EncodeTexts(faces)));
  for (const Lesson& l : lessons) {
    Write(dir / l.name,
          fuzz::JoinPair(datafile::EncodeRecords(l.records.data(), int(l.records.size())),
                         l.texts.empty() ? std::string() : datafile::EncodeTexts(l.texts)));
  }
}

// A picture of the program's own making, saved under the extension.
std::string Saved(int width, int height, int bitCount, const char* ext) {
  CDib dib;
  if (!dib.Create(width, height, bitCount)) return {};
  // Something besides black: every seventh byte raised.
  auto block = std::make_unique<PackedDib>(*dib.Block());
  for (std::size_t i = dib::kInfoHeaderBytes; i < block->bytes.size(); i += 7)
    block->bytes[i] = std::uint8_t(i);
  if (!dib.Attach(std::move(block))) return {};
  const fs::path path = fs::path(fuzz::PrivateFolder()) / (std::string("seed") + ext);
  if (!dib.Save(path.string())) return {};
  return Read(path);
}

void BmpSeeds(const fs::path& dir) {
  for (int bits : {1, 4, 8, 24})
    Write(dir / ("saved" + std::to_string(bits)), Saved(5, 3, bits, ".bmp"));
  // Every layout the reader takes, the ones the program never writes among them.
  int n = 0;
  for (const Bytes& file : bmplayout::BmpLayouts())
    Write(dir / ("layout" + std::to_string(n++)),
          std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

// The codec writes only 4:4:4 baseline files at quality 100; files from
// other writers are progressive, grey, CMYK or subsampled.
std::string Encoded(int width, int height, int pixelFormat, int subsampling, int flags) {
  const int channels = tjPixelSize[pixelFormat];
  std::vector<unsigned char> pixels(std::size_t(width * height * channels));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t(i * 37);
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::string out;
  if (encoder && tjCompress2(encoder, pixels.data(), width, 0, height, pixelFormat, &jpeg, &size,
                             subsampling, 75, flags) == 0) {
    out.assign(reinterpret_cast<const char*>(jpeg), size);
  }
  tjFree(jpeg);
  if (encoder) tjDestroy(encoder);
  return out;
}

void JpegSeeds(const fs::path& dir) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {5, 5}, {16, 9}})
    Write(dir / ("saved" + std::to_string(w) + "x" + std::to_string(h)), Saved(w, h, 24, ".jpg"));
  Write(dir / "progressive420", Encoded(17, 9, TJPF_BGR, TJSAMP_420, TJFLAG_PROGRESSIVE));
  Write(dir / "grey", Encoded(7, 5, TJPF_GRAY, TJSAMP_GRAY, 0));
  // The binding refuses CMYK files; the refusal is a path worth fuzzing too.
  Write(dir / "refused-cmyk", Encoded(6, 6, TJPF_CMYK, TJSAMP_444, 0));
  Write(dir / "sub422", Encoded(9, 3, TJPF_BGR, TJSAMP_422, 0));
  Write(dir / "sub440", Encoded(3, 9, TJPF_BGR, TJSAMP_440, 0));
  Write(dir / "sub411", Encoded(13, 2, TJPF_BGR, TJSAMP_411, 0));
}

}  // namespace

// A seed the reader refuses unawares would only teach the fuzzer the refusal.
bool AllLoad(const fs::path& dir, const char* ext) {
  bool ok = true;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename().string().starts_with("refused-")) continue;
    const fs::path copy = fs::path(fuzz::PrivateFolder()) / (std::string("check") + ext);
    fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
    CDib dib;
    if (!dib.Load(copy.string())) {
      std::fprintf(stderr, "fuzz_seeds: %s does not load\n", entry.path().c_str());
      ok = false;
    }
  }
  return ok;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  fuzz::InitApplication(&argc, &argv);
  const fs::path root = argv[1];
  for (const char* name : {"pointer_file", "bmp", "jpeg"}) fs::create_directories(root / name);
  PointerSeeds(root / "pointer_file");
  BmpSeeds(root / "bmp");
  JpegSeeds(root / "jpeg");
  return AllLoad(root / "bmp", ".bmp") && AllLoad(root / "jpeg", ".jpg") ? 0 : 1;
}
