// Floors measured beside the program's figures in the same run: a memcpy of a
// screen image at both screen sizes, and the device-context calls of
// bench_gdi done straight on a QImage with QPainter.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/app.h"

namespace {

constexpr int kW = 1920, kH = 1080;

void BM_MemcpyScreen(benchmark::State& state) {
  const std::size_t bytes = std::size_t(state.range(0)) * std::size_t(state.range(1)) * 4;
  std::vector<unsigned char> from(bytes, 0x40), to(bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyScreen)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

QImage WhiteScreen() {
  QImage img(kW, kH, QImage::Format_RGB32);
  img.fill(Qt::white);
  return img;
}

void BM_QPainterSegment(benchmark::State& state) {
  QImage img = WhiteScreen();
  QPainter p(&img);
  p.setPen(QPen(QColor(255, 0, 0), int(state.range(0)), Qt::SolidLine, Qt::RoundCap));
  int i = 0;
  for (auto _ : state) {
    const int x = 100 + (i * 7) % 1700, y = 100 + (i * 13) % 800;
    p.drawLine(x, y, x + 9, y + 5);
    ++i;
  }
}
BENCHMARK(BM_QPainterSegment)->Arg(1)->Arg(6);

void BM_QPainterFillRect(benchmark::State& state) {
  QImage img = WhiteScreen();
  QPainter p(&img);
  int i = 0;
  for (auto _ : state) {
    p.fillRect((i * 7) % 1800, (i * 13) % 1000, 15, 10, QColor(0, 0, 255));
    ++i;
  }
}
BENCHMARK(BM_QPainterFillRect);

void BM_QPainterInvertedEllipses(benchmark::State& state) {
  QImage img = WhiteScreen();
  QPainter p(&img);
  p.setPen(QPen(Qt::black, int(state.range(0))));
  p.setBrush(Qt::NoBrush);
  p.setCompositionMode(QPainter::RasterOp_NotDestination);
  for (auto _ : state) {
    p.drawEllipse(10, 10, kW - 20, kH - 20);
    p.drawEllipse(10, 10, kW - 21, kH - 21);
  }
}
BENCHMARK(BM_QPainterInvertedEllipses)->Arg(1)->Arg(6);

void BM_QPainterRoundRect(benchmark::State& state) {
  QImage img = WhiteScreen();
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 3));
  p.setBrush(QColor(0, 200, 0));
  for (auto _ : state) p.drawRoundedRect(200, 200, 600, 400, 25, 25);
}
BENCHMARK(BM_QPainterRoundRect);

void BM_QPainterTextLine(benchmark::State& state) {
  QImage img = WhiteScreen();
  QPainter p(&img);
  QFont font("宋体");
  font.setPixelSize(16);
  p.setFont(font);
  const QString text = QString::fromUtf8("课堂演示 Pointer 文字");
  int i = 0;
  for (auto _ : state) p.drawText(100, 116 + (i++ % 50) * 16, text);
}
BENCHMARK(BM_QPainterTextLine);

}  // namespace
