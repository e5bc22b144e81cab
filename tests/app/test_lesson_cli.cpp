// Saved lessons drawn, listed and exported without a display, compared with
// what the board itself shows for the same lesson.
#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <numeric>
#include <sstream>

#include "app/lesson_animate.h"
#include "app/lesson_cli.h"
#include "app/lesson_render.h"
#include "image/dib.h"
#include "platform/codepage.h"
#include "platform/pipe_process.h"
#include "records/replay_timeline.h"
#include "tests/support/board_fixture.h"
#include "tests/support/gif_reader.h"
#include "tests/support/temp_folder.h"

namespace {

class LessonCli : public BoardTest {
 protected:
  // Every kind of drawing, style changes, texts and transparent display,
  // appended as the tools and panels append them.
  void DrawLesson() {
    CBoardWnd& board = Board();
    board.m_texts = {GBK("黑体"), GBK("你好 hello"), GBK("第二")};
    for (const DrawRecord& r :
         {Rec(op::kLine, 300, 150, 100, 100), Rec(op::kPen, 0, 0, PS_SOLID, 3),
          Rec(op::kPenSegment, 420, 120, 400, 100), Rec(op::kBrush, 0, 0, 0, 0),
          Rec(op::kRect, 260, 330, 120, 200), Rec(op::kFont, 0, 0, 30, FW_BOLD),
          Rec(op::kText, 400, 300, 600, 360), Rec(op::kArrow, 700, 500, 500, 400),
          Rec(op::kFloodFill, 180, 260, 0, 0), Rec(op::kTransparentOn, 0, 0, 0, 0),
          Rec(op::kEllipse, 600, 300, 480, 180), Rec(op::kText, 40, 700, 300, 760),
          Rec(op::kTransparentOff, 0, 0, 0, 0), Rec(op::kRoundRect, 780, 700, 600, 550),
          Rec(op::kPolyline, 50, 600, 50, 600), Rec(op::kPolyline, 150, 650, 50, 600),
          Rec(op::kBrushDab, 700, 100, 0, 0)})
      ASSERT_TRUE(board.AppendRecord(r));
    g_records[1].f5 = RGB(200, 0, 0);
    g_records[3].f5 = RGB(0, 160, 255);
  }
  // Saved through the board's command, then opened again by it: the open
  // is the board's own full redraw of the lesson.
  std::string SaveAndReopen() {
    const std::string path = m_folder / "lesson.zsy";
    m_services.fileAnswers = {path, path};
    Board().OnSaveData();
    Board().OnOpenData();
    EXPECT_TRUE(m_services.boxes.empty());
    return path;
  }
  static datafile::PointerData Load(const std::string& path) {
    datafile::PointerData lesson;
    std::string error;
    EXPECT_TRUE(LoadLesson(path, &lesson, &error)) << error;
    return lesson;
  }
  // The command line run in this process: its status, what it wrote on
  // the standard error.
  static int Run(std::vector<std::string> args, std::string* err = nullptr,
                 std::string* out = nullptr) {
    args.insert(args.begin(), "pointer");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    const int status = RunLessonCommand(int(args.size()), argv.data());
    const std::string e = ::testing::internal::GetCapturedStderr();
    const std::string o = ::testing::internal::GetCapturedStdout();
    if (err) *err = e;
    if (out) *out = o;
    return status;
  }

  TempFolder m_folder{"pointer-lesson-cli"};
};

TEST_F(LessonCli, RenderEqualsTheBoardsOwnFullRedrawOnEachBackground) {
  DrawLesson();
  // The captured screen stands in for a picture given as the background.
  CDib captured;
  const std::string picture = m_folder / "screen.bmp";
  ASSERT_TRUE(captured.FromBitmap(&Board().m_bmpCaptured) && captured.Save(picture));
  const struct {
    int mode;
    RenderOptions::Background background;
  } cases[] = {{1, RenderOptions::Background::kWhite},
               {2, RenderOptions::Background::kBlack},
               {0, RenderOptions::Background::kPicture}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Board().m_nBackMode = c.mode;
    const std::string path = SaveAndReopen();
    RenderOptions options;
    options.width = Board().m_rcDesktop.right, options.height = Board().m_rcDesktop.bottom;
    options.background = c.background, options.picturePath = picture;
    CMemoryBoard out(options.width, options.height);
    std::string error, where;
    ASSERT_TRUE(RenderLesson(Load(path), options, out, &error)) << error;
    EXPECT_EQ(CountDifferences(Of(out.m_bitmap), Snap(), &where), 0) << where;
  }
}

TEST_F(LessonCli, RenderWritesPngBmpAndJpegOfThePictureAndRefusesOtherTypes) {
  DrawLesson();
  const std::string lesson = SaveAndReopen();
  CMemoryBoard expected(320, 200);
  RenderOptions options;
  options.width = 320, options.height = 200;
  std::string error;
  ASSERT_TRUE(RenderLesson(Load(lesson), options, expected, &error));
  for (const char* name : {"out.png", "out.bmp", "OUT.JPG"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Run({"render", lesson, "-o", m_folder / name, "--size", "320x200"}, &error), 0)
        << error;
    QImage written(QString::fromStdString(m_folder / name));
    ASSERT_EQ(std::pair(written.width(), written.height()), std::pair(320, 200));
    // PNG and BMP exact; JPEG close on average (its colour is subsampled).
    long total = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) {
        const QRgb p = written.pixel(x, y);
        const COLORREF q = expected.m_bitmap.GetPixel(x, y);
        total += std::abs(qRed(p) - int(GetRValue(q))) + std::abs(qGreen(p) - int(GetGValue(q))) +
                 std::abs(qBlue(p) - int(GetBValue(q)));
      }
    if (name[4] == 'J')
      EXPECT_LT(double(total) / (320 * 200 * 3), 1.0);
    else
      EXPECT_EQ(total, 0);
  }
  EXPECT_EQ(Run({"render", lesson, "-o", m_folder / "out.tiff"}, &error), 1);
  EXPECT_NE(error.find("unsupported picture type"), std::string::npos) << error;
}

TEST_F(LessonCli, InfoOfAFileWithEveryOpcodePrintsEveryRecordAndTheSummary) {
  datafile::PointerData lesson;
  for (int i = 0; i < int(std::size(op::kAll)); ++i) {
    lesson.records.push_back(Rec(op::kAll[i], 10 + i, 20 + i, 30 + i, 40 + i));
    lesson.records.back().f5 = -i;
  }
  lesson.texts = {GBK("宋体"), GBK("一行\r\n两行")};
  const std::string path = m_folder / "every.zsy";
  ASSERT_EQ(datafile::SavePointerData(path, lesson.records.data(), int(lesson.records.size()),
                                      lesson.texts),
            datafile::SaveStatus::kSaved);
  std::string text;
  ASSERT_EQ(Run({"info", path}, nullptr, &text), 0);
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);  // the heading
  for (std::size_t k = 0; k < lesson.records.size(); ++k) {
    ASSERT_TRUE(std::getline(lines, line));
    std::istringstream fields(line);
    std::size_t index;
    std::string opcode;
    fields >> index >> opcode;
    EXPECT_EQ(std::pair(index, opcode), std::pair(k, std::string(1, op::kAll[k]))) << line;
    EXPECT_NE(line.find(" " + std::to_string(-int(k))), std::string::npos) << line;
  }
  // A text of two lines on one line; the bounding box from the pen segment's
  // end (10, 20) to the brush dab's corner (21+15, 31+10).
  for (const char* part :
       {"\"宋体\"", "\"一行\\x0d\\x0a两行\"", "records: 17\n", "  polyline segment: 1\n",
        "texts: 2\n", "bounding box: (10, 20) - (46, 56)"})
    EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
}

TEST_F(LessonCli, BadFilesBadArgumentsAndAMissingVideoEncoderGiveAMessageAndANonZeroStatus) {
  const std::string good = m_folder / "good.zsy", png = m_folder / "x.png",
                    gif = m_folder / "x.gif", bmp = m_folder / "notapicture.bmp";
  ASSERT_EQ(datafile::SavePointerData(good, g_records, 0, {}), datafile::SaveStatus::kSaved);
  std::ofstream(m_folder / "odd.zsy") << std::string(30, 'x');
  std::ofstream(m_folder / "unknown.zsy") << "Q" + std::string(23, '\0');
  std::ofstream(bmp) << "hello";
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{"info", m_folder / "missing.zsy"}, 1, "cannot open: no such file"},
      {{"info", m_folder.path}, 1, "not a regular file"},
      {{"info", m_folder / "odd.zsy"}, 1, "30 bytes is not a whole number"},
      {{"render", m_folder / "unknown.zsy", "-o", png}, 1, "record 0 has an unknown opcode"},
      {{"render", good, "-o", png, "--background", bmp}, 1, "cannot load the background picture"},
      {{"render", good, "-o", m_folder / "no/such/folder/x.png"}, 1, "cannot write"},
      {{"render", good, "-o", png, "--size", "0x10"}, 2, "--size needs WxH"},
      {{"render", good, "-o", png, "--size", "8193x8192"}, 2, "8192x8192 in all"},
      {{"render", good, "-o", png, "--size", "16385x1"}, 2, "16384 a side"},
      {{"render", good}, 2, "no output file"},
      {{"render", good, "-o", png, "--pointer"}, 2, "--pointer needs --animate"},
      {{"render", good, "-o", png, "--speed", "2"}, 2, "--speed needs --animate"},
      {{"render", good, "--animate", "-o", gif, "--speed", "3"}, 2, "0.5, 1, 2 or 4"},
      {{"render", good, "--animate", "-o", png}, 1, ".gif, .mp4 or .webm"},
      {{"info"}, 2, "no lesson given"},
      {{"info", good, "--bogus"}, 2, "unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    std::string error;
    EXPECT_EQ(Run(c.args, &error), c.status);
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
  EXPECT_FALSE(std::filesystem::exists(png));
  // The longest side allowed.
  EXPECT_EQ(Run({"render", good, "-o", m_folder / "wide.png", "--size", "16384x1"}), 0);
  EXPECT_EQ(QImage(QString::fromStdString(m_folder / "wide.png")).width(), 16384);
  for (const char* command : {"render", "info"}) {
    std::string usage;
    EXPECT_EQ(Run({command, "--help"}, nullptr, &usage), 0);
    EXPECT_EQ(usage.rfind(std::string("Usage: pointer ") + command, 0), 0u) << usage;
  }
  // A video without ffmpeg on the PATH.
  const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", m_folder.path.c_str(), 1);
  std::string error;
  const int status = Run({"render", good, "--animate", "-o", m_folder / "x.mp4"}, &error);
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_TRUE(status == 1 && error.find("ffmpeg is not installed") != std::string::npos) << error;
}

TEST_F(LessonCli, AGifHasAFramePerRecordAfterTheBackgroundTimedAsTheDialogPlaysAndEndsOnTheRender) {
  DrawLesson();
  const std::string path = SaveAndReopen();
  const datafile::PointerData lesson = Load(path);
  AnimateOptions options;
  options.render.width = 800, options.render.height = 800;
  std::string error;
  AnimateResult result;
  const std::string gif = m_folder / "replay.gif";
  ASSERT_TRUE(ExportAnimation(lesson, options, gif, &error, &result)) << error;
  const GifPlay play = PlayGif(gif);
  const int n = int(lesson.records.size());
  EXPECT_EQ(play.frames, n + 1);
  const std::vector<ReplayStep> timeline = PlayTimeline(lesson.records.data(), n, 2000);
  // Each frame lasts until the next record is drawn; the last one at least
  // a hundredth, here as the last record (a stroke) takes no time.
  std::uint64_t lastDraw = 0;
  for (const ReplayStep& s : timeline)
    if (s.kind == ReplayStep::kDraw) lastDraw = s.atMs;
  ASSERT_EQ(timeline.back().atMs, lastDraw);
  EXPECT_EQ(std::accumulate(play.delays.begin(), play.delays.end() - 1, 0) * 10, int(lastDraw));
  EXPECT_EQ(play.delays.back(), 1);
  // The bare background until the first line is drawn: a tick, then the
  // pause at its press point.
  EXPECT_EQ(play.delays[0] * 10, int(kReplayTickMs + 2000));
  CMemoryBoard rendered(800, 800);
  ASSERT_TRUE(RenderLesson(lesson, options.render, rendered, &error));
  std::string where;
  EXPECT_EQ(CountDifferences(play.last, Of(rendered.m_bitmap), &where), 0) << where;

  // With the pointer: a frame more for each move, and the pointer shown
  // last where the last record left it.
  options.drawPointer = true;
  ASSERT_TRUE(ExportAnimation(lesson, options, gif, &error)) << error;
  const GifPlay withPointer = PlayGif(gif);
  const auto moves = std::count_if(timeline.begin(), timeline.end(),
                                   [](const ReplayStep& s) { return s.kind == ReplayStep::kMove; });
  EXPECT_EQ(withPointer.frames, n + 1 + int(moves));
  EXPECT_GT(CountDifferences(withPointer.last, Of(rendered.m_bitmap)), 20);

  // Four times the speed shortens the tick and the pause alike.
  ASSERT_EQ(Run({"render", path, "--animate", "--speed", "4", "-o", gif, "--size", "800x800"}), 0);
  EXPECT_NEAR(PlayGif(gif).delays[0] * 10, int(ReplayTickMs(500) + 500), 10);
}

TEST_F(LessonCli, VideosDecodeWithTheDurationOfThePlay) {
  Board().m_texts = {"hi"};
  for (const DrawRecord& r :
       {Rec(op::kLine, 100, 100, 10, 10), Rec(op::kPenSegment, 50, 60, 40, 40),
        Rec(op::kText, 20, 120, 150, 160)})
    ASSERT_TRUE(Board().AppendRecord(r));
  const datafile::PointerData lesson = Load(SaveAndReopen());
  // A line (2 s + 1 s), a stroke, a text (2 s), each a tick after the last.
  const double seconds = (20 + 3000 + 20 + 20 + 2000) / 1000.0;
  for (const char* name : {"replay.mp4", "replay.webm"}) {
    SCOPED_TRACE(name);
    AnimateOptions options;
    options.render.width = 161, options.render.height = 121;  // odd sizes are padded
    std::string error;
    ASSERT_TRUE(ExportAnimation(lesson, options, m_folder / name, &error)) << error;
    plat::PipeProcess ffprobe;
    std::string probe;
    ASSERT_TRUE(ffprobe.Start({"sh", "-c",
                               "ffprobe -v error -show_entries format=duration -of default=nw=1 '" +
                                   m_folder / name + "' >&2"},
                              &probe))
        << probe;
    ffprobe.Finish(&probe);
    const auto at = probe.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe;
    EXPECT_NEAR(std::stod(probe.substr(at + 9)), seconds, 0.05) << probe;
  }
}

}  // namespace
