// Picture files at screen sizes: JPEG save and load beside cjpeg and djpeg
// on the same picture, BMP save beside one plain write of the same bytes, a
// BMP loaded and painted onto the board as the load command does beside one
// plain read of the file, and the capture of a screen bitmap. Prints the
// median of several runs.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/dib.h"
#include "platform/app.h"
#include "platform/gdi.h"

namespace {

constexpr int kRuns = 11;

double MedianMs(const std::function<void()>& fn) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[kRuns / 2];
}

// Something like a teaching screen: soft gradients, flat panels, strokes and
// dense small detail standing in for text.
std::uint8_t Channel(int x, int y, int c) {
  if ((x / 240 + y / 180) % 3 == 0) return std::uint8_t(c == 0 ? 240 : 236);
  if (y % 24 < 14 && x % 9 < 6 && ((x * 7 + y * 13) % 17) < 9) return std::uint8_t(20 + c * 10);
  return std::uint8_t((x * (c + 1) / 8 + y / (c + 2)) & 0xFF);
}

HDIB ScreenLikeDib(int w, int h) {
  const std::size_t stride = std::size_t(dib::RowBytes(24, w));
  HDIB block = AllocDib(40 + stride * h);
  BITMAPINFOHEADER hdr;
  hdr.biWidth = w;
  hdr.biHeight = h;
  hdr.biBitCount = 24;
  dib::WriteInfoHeader(block->bytes.data(), hdr);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = block->bytes.data() + 40 + stride * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < 3; ++c) row[3 * x + c] = Channel(x, y, 2 - c);
    }
  }
  return block;
}

void WritePpm(const std::string& path, int w, int h) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  std::vector<std::uint8_t> row(std::size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < 3; ++c) row[3 * x + c] = Channel(x, y, c);
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  std::fclose(f);
}

bool HasTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

void Report(const char* what, double ms, double reference, const char* against) {
  if (reference > 0) {
    std::printf("  %-34s %9.2f ms   %5.2fx %s\n", what, ms, ms / reference, against);
  } else {
    std::printf("  %-34s %9.2f ms\n", what, ms);
  }
}

// Where a plain read puts the file. The heap hands back memory the last run
// used; fresh memory is what a program reading the file once gets from the
// system, page faults included; a picture block is fresh memory got the way
// the picture load gets it.
enum class Memory { kReused, kFresh, kPictureBlock };

// Opens the file and reads all of it; the sum keeps the read from being
// optimised away.
std::uint8_t ReadWholeFile(const std::string& path, Memory memory) {
  const int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) std::abort();
  const std::size_t size = std::size_t(st.st_size);
  std::unique_ptr<std::uint8_t[]> heap;
  HDIB block;
  std::uint8_t* buffer;
  if (memory == Memory::kFresh) {
    void* m = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) std::abort();
    buffer = static_cast<std::uint8_t*>(m);
  } else if (memory == Memory::kPictureBlock) {
    block = AllocDibForOverwrite(size);
    buffer = block->bytes.data();
  } else {
    heap.reset(new std::uint8_t[size]);
    buffer = heap.get();
  }
  for (std::size_t done = 0; done < size;) {
    const ssize_t got = read(fd, buffer + done, size - done);
    if (got <= 0) std::abort();
    done += std::size_t(got);
  }
  close(fd);
  const std::uint8_t sum = std::uint8_t(buffer[0] + buffer[size / 2] + buffer[size - 1]);
  if (memory == Memory::kFresh) munmap(buffer, size);
  return sum;
}

// What the load command does once the file is chosen: the file loaded and
// painted over the board's screen-sized bitmap.
void LoadAndPaint(const std::string& path, CDC* board, int w, int h) {
  CDib picture;
  const RECT screen{0, 0, w, h};
  if (!picture.Load(path) || picture.Paint(board, &screen) == 0) {
    std::abort();
  }
}

void BenchSize(const std::filesystem::path& dir, int w, int h) {
  const std::string bmp = (dir / "p.bmp").string(), raw = (dir / "raw.bmp").string(),
                    jpg = (dir / "p.jpg").string(), ppm = (dir / "p.ppm").string(),
                    cjpg = (dir / "c.jpg").string(), dppm = (dir / "d.ppm").string();
  std::printf("%d x %d\n", w, h);
  CDib dib;
  dib.Attach(ScreenLikeDib(w, h));
  WritePpm(ppm, w, h);

  const double bmpSave = MedianMs([&] { dib.Save(bmp); });
  std::vector<std::uint8_t> file(14 + dib.Block()->bytes.size());
  file[0] = 'B', file[1] = 'M';
  std::copy(dib.Block()->bytes.begin(), dib.Block()->bytes.end(), file.begin() + 14);
  const double oneWrite = MedianMs([&] {
    std::FILE* f = std::fopen(raw.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  });
  Report("BMP save", bmpSave, oneWrite, "of one fwrite");
  Report("one fwrite of the same bytes", oneWrite, 0, "");
  CDib loaded;
  Report("BMP load", MedianMs([&] { loaded.Load(bmp); }), 0, "");

  CBitmap boardBitmap;
  boardBitmap.CreateBitmap(w, h);
  CDC board;
  board.CreateCompatibleDC(nullptr);
  board.SelectObject(&boardBitmap);
  board.PatBlt(0, 0, w, h, WHITENESS);
  volatile std::uint8_t sink = 0;
  const double oneRead = MedianMs([&] { sink = sink + ReadWholeFile(bmp, Memory::kReused); });
  const double freshRead = MedianMs([&] { sink = sink + ReadWholeFile(bmp, Memory::kFresh); });
  const double blockRead =
      MedianMs([&] { sink = sink + ReadWholeFile(bmp, Memory::kPictureBlock); });
  const double loadPaint = MedianMs([&] { LoadAndPaint(bmp, &board, w, h); });
  Report("BMP load + paint on the board", loadPaint, oneRead, "of one read, reused memory");
  Report("", loadPaint, freshRead, "of one read, fresh memory");
  Report("", loadPaint, blockRead, "of one read into a new picture block");
  Report("one read, reused memory", oneRead, 0, "");
  Report("one read into a new picture block", blockRead, 0, "");
  Report("one read, fresh memory", freshRead, 0, "");

  const double jpegSave = MedianMs([&] { dib.Save(jpg); });
  const bool tools = HasTool("cjpeg") && HasTool("djpeg");
  double cjpeg = 0, djpeg = 0;
  if (tools) {
    cjpeg =
        MedianMs([&] { std::system(("cjpeg -quality 100 -outfile " + cjpg + " " + ppm).c_str()); });
    djpeg = MedianMs([&] { std::system(("djpeg -outfile " + dppm + " " + jpg).c_str()); });
  }
  Report("JPEG save (q100, 4:2:0)", jpegSave, cjpeg, "of cjpeg -quality 100");
  if (tools) {
    Report("cjpeg -quality 100 (4:2:0)", cjpeg, 0, "");
  }
  std::printf("  JPEG file %.1f MiB, BMP file %.1f MiB\n",
              double(std::filesystem::file_size(jpg)) / (1 << 20),
              double(std::filesystem::file_size(bmp)) / (1 << 20));
  Report("JPEG load", MedianMs([&] { loaded.Load(jpg); }), djpeg, "of djpeg");
  Report("JPEG load + paint on the board", MedianMs([&] { LoadAndPaint(jpg, &board, w, h); }),
         djpeg, "of djpeg");
  if (tools) Report("djpeg of the same file", djpeg, 0, "");

  CBitmap screen;
  screen.CreateBitmap(w, h);
  CDib captured;
  Report("capture of a screen bitmap", MedianMs([&] { captured.FromBitmap(&screen); }), 0, "");
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::InitApplication(argc, argv);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("pointer-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  BenchSize(dir, 1920, 1080);
  BenchSize(dir, 3840, 2160);
  std::filesystem::remove_all(dir);
  return 0;
}
