// Replay of a typical lesson against a plain QPainter loop drawing the same
// primitives, and a full undo (background copy plus replay).
#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <memory>
#include <random>
#include <vector>

#include "bench/bench_board.h"
#include "bench/bench_lesson.h"
#include "platform/app.h"
#include "platform/codepage.h"
#include "platform/gdi.h"
#include "records/board_core.h"
#include "records/draw_geometry.h"
#include "records/pointer_file.h"

namespace {
using bench::MakeLesson;
using bench::Rec;

// The same primitives straight through QPainter: the floor a replay can reach.
void PlainLoop(QImage& img, const std::vector<std::string>& texts) {
  QPainter p(&img);
  QPen pen(QColor(0, 0, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QColor brush(255, 255, 255);
  QFont font("宋体");
  font.setPixelSize(21);
  bool fill = true, outline = true;
  std::size_t text = 0;
  auto color = [](int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); };
  p.setPen(pen);
  for (int i = 0; i < kRecordLimit; ++i) {
    const DrawRecord& r = g_records[i];
    switch (r.op) {
      case op::kPenSegment:
      case op::kLine:
      case op::kPolyline:
        p.drawLine(r.f3, r.f4, r.f1, r.f2);
        break;
      case op::kBrushDab:
        p.fillRect(r.f1, r.f2, 15, 10, brush);
        break;
      case op::kArrow: {
        const ArrowGeometry g = ComputeArrowHead(r.f3, r.f4, r.f1, r.f2, pen.width(), 10);
        p.drawLine(r.f3, r.f4, int(g.shaftEnd.x), int(g.shaftEnd.y));
        p.setBrush(pen.color());
        const QPoint head[] = {{r.f1, r.f2},
                               {int(g.corner1.x), int(g.corner1.y)},
                               {int(g.corner2.x), int(g.corner2.y)}};
        p.drawPolygon(head, 3);
        break;
      }
      case op::kRect:
      case op::kRoundRect:
      case op::kEllipse: {
        p.setPen(outline ? pen : QPen(Qt::NoPen));
        p.setBrush(fill ? QBrush(brush) : QBrush(Qt::NoBrush));
        const QRect rc = QRect(QPoint(r.f3, r.f4), QPoint(r.f1, r.f2)).normalized();
        if (r.op == op::kRect)
          p.drawRect(rc);
        else if (r.op == op::kRoundRect)
          p.drawRoundedRect(rc, 25, 25);
        else
          p.drawEllipse(rc);
        p.setPen(pen);
        break;
      }
      case op::kText: {
        p.fillRect(QRect(r.f1 - 2, r.f2 - 2, r.f3 - r.f1, r.f4 - r.f2), brush);
        p.setFont(font);
        const std::string t = plat::Utf8FromGbk(texts[std::min(text++, texts.size() - 1)]);
        p.drawText(r.f1, r.f2 + 17, QString::fromUtf8(t.data(), int(t.size())));
        break;
      }
      case op::kPen:
        pen = QPen(color(r.f5), r.f4, r.f3 == PS_DASH ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap,
                   Qt::RoundJoin);
        p.setPen(pen);
        break;
      case op::kBrush:
        brush = color(r.f5);
        break;
      case op::kFill:
        outline = r.f3 == 1, fill = r.f4 == 1;
        break;
      case op::kFont:
        ++text;
        font.setPixelSize(r.f3);
        font.setBold(r.f4 >= 700);
        break;
      default:
        break;
    }
  }
}

struct Lesson {
  int w, h;
  std::vector<std::string> texts;
};

Lesson& LessonFor(int w, int h) {
  static std::unique_ptr<Lesson> lesson;
  if (!lesson || lesson->w != w || lesson->h != h) {
    lesson = std::make_unique<Lesson>();
    lesson->w = w, lesson->h = h;
    lesson->texts = MakeLesson(w, h);
  }
  return *lesson;
}

void BM_Replay(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  Lesson& lesson = LessonFor(w, h);
  BenchBoard board(w, h);
  board.m_nCount = kRecordLimit;
  for (auto _ : state) {
    board.m_texts.assign(lesson.texts.begin(), lesson.texts.end());
    board.m_bRedrawing = true;
    board.Replay(0, kRecordLimit, false);
    benchmark::DoNotOptimize(board.m_bitmap.GetPixel(w / 2, h / 2));
  }
  state.SetItemsProcessed(state.iterations() * kRecordLimit);
}

void BM_PlainQPainter(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  Lesson& lesson = LessonFor(w, h);
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(QColor(0x40, 0x80, 0xC0));
  for (auto _ : state) {
    PlainLoop(img, lesson.texts);
    benchmark::DoNotOptimize(img.pixel(w / 2, h / 2));
  }
  state.SetItemsProcessed(state.iterations() * kRecordLimit);
}

// Undo of the last record: the background copy, then records 0..4997.
void BM_FullUndo(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  Lesson& lesson = LessonFor(w, h);
  BenchBoard board(w, h);
  for (auto _ : state) {
    board.m_texts.assign(lesson.texts.begin(), lesson.texts.end());
    board.m_bRedrawing = true;
    board.CopyBackground();
    board.Replay(0, kRecordLimit - 1, false);
    benchmark::DoNotOptimize(board.m_bitmap.GetPixel(w / 2, h / 2));
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Replay)->Apply(Sizes);
BENCHMARK(BM_PlainQPainter)->Apply(Sizes);
BENCHMARK(BM_FullUndo)->Apply(Sizes);

// Pointer data files of the 4999-record lesson: a save (written beside the
// old files, flushed to disk, renamed) against a plain write of the same
// bytes, and an open with its replay at 1920x1080 (the mandated pause left
// out) against a plain read of both files.
std::string LessonPath() {
  return (std::filesystem::temp_directory_path() / "pointer-bench-lesson.zsy").string();
}

void BM_SaveLesson(benchmark::State& state) {
  Lesson& lesson = LessonFor(1920, 1080);
  const std::list<std::string> texts(lesson.texts.begin(), lesson.texts.end());
  for (auto _ : state) {
    if (datafile::SavePointerData(LessonPath(), g_records, kRecordLimit, texts) !=
        datafile::SaveStatus::kSaved)
      state.SkipWithError("the lesson could not be saved");
  }
}

void WritePlain(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void BM_PlainWrite(benchmark::State& state) {
  Lesson& lesson = LessonFor(1920, 1080);
  const std::list<std::string> texts(lesson.texts.begin(), lesson.texts.end());
  const std::string records = datafile::EncodeRecords(g_records, kRecordLimit);
  const std::string side = datafile::EncodeTexts(texts);
  for (auto _ : state) {
    WritePlain(LessonPath() + ".plain", records);
    WritePlain(LessonPath() + ".plain.xyp", side);
  }
}

void BM_OpenLesson(benchmark::State& state) {
  Lesson& lesson = LessonFor(1920, 1080);
  const std::list<std::string> texts(lesson.texts.begin(), lesson.texts.end());
  datafile::SavePointerData(LessonPath(), g_records, kRecordLimit, texts);
  BenchBoard board(1920, 1080);
  for (auto _ : state) {
    datafile::PointerData data = datafile::ReadPointerData(LessonPath());
    std::copy(data.records.begin(), data.records.end(), g_records);
    board.m_nCount = int(data.records.size());
    board.m_texts = std::move(data.texts);
    board.CopyBackground();
    board.Replay(0, board.m_nCount, false);
  }
}

void BM_PlainRead(benchmark::State& state) {
  Lesson& lesson = LessonFor(1920, 1080);
  const std::list<std::string> texts(lesson.texts.begin(), lesson.texts.end());
  datafile::SavePointerData(LessonPath(), g_records, kRecordLimit, texts);
  std::string buffer(std::size_t(1) << 20, '\0');
  for (auto _ : state) {
    for (const std::string& path : {LessonPath(), datafile::SideFilePath(LessonPath())}) {
      std::FILE* f = std::fopen(path.c_str(), "rb");
      if (!f) continue;
      benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
      std::fclose(f);
    }
  }
}

BENCHMARK(BM_SaveLesson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLesson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// With POINTER_BENCH_DUMP set, writes both pictures of the 1920x1080 lesson
// there (replay.png, plain.png) to compare them by eye.
void DumpPictures(const std::string& dir) {
  const int w = 1920, h = 1080;
  Lesson& lesson = LessonFor(w, h);
  BenchBoard board(w, h);
  board.m_texts.assign(lesson.texts.begin(), lesson.texts.end());
  board.m_bRedrawing = true;
  board.Replay(0, kRecordLimit, false);
  QImage replayed(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = board.m_bitmap.GetPixel(x, y);
      replayed.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
  replayed.save(QString::fromStdString(dir + "/replay.png"));
  QImage plain(w, h, QImage::Format_RGB32);
  plain.fill(QColor(0x40, 0x80, 0xC0));
  PlainLoop(plain, lesson.texts);
  plain.save(QString::fromStdString(dir + "/plain.png"));
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 0);
  benchmark::Initialize(&argc, argv);
  plat::InitApplication(argc, argv);
  if (const char* dir = std::getenv("POINTER_BENCH_DUMP")) DumpPictures(dir);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
