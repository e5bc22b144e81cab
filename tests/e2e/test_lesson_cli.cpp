// A lesson the teacher drew and saved, drawn again by "pointer render" and
// listed by "pointer info" with no display at all.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/e2e/board_session.h"

namespace {

class LessonCli : public e2e::BoardSession {};

TEST_F(LessonCli, ARenderOfTheSavedLessonWithoutADisplayEqualsTheBoardOpeningIt) {
  ASSERT_TRUE(ClickToolBarImage(e2e::kLineImage));
  Drag(400, 300, 600, 400);
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle));
  ShowBarsAgain();
  ASSERT_TRUE(ClickToolBarImage(12));  // the arrow
  Drag(300, 600, 700, 500);
  ASSERT_TRUE(x_->WaitNotViewable(e2e::kToolsBarTitle));

  const std::string lesson = e2e::ArtifactDir() + "/render.zsy";
  std::remove(lesson.c_str());
  x_->Xdotool({"key", "ctrl+s"});
  ASSERT_TRUE(TypeInto("把当前操作保存为数据文件", {lesson, "@Return"})) << "no save dialog";
  ASSERT_TRUE(e2e::WaitUntil([&] {
    std::error_code noFile;
    return std::filesystem::file_size(lesson, noFile) >= 2 * 24 && !noFile;
  }));
  // Opening it again is the board's full redraw over the captured screen.
  x_->Xdotool({"key", "ctrl+o"});
  ASSERT_TRUE(TypeInto("打开", {lesson, "@Return"})) << "no open dialog";
  ASSERT_TRUE(x_->WaitNotViewable("打开"));

  const std::string screen = e2e::ArtifactDir() + "/render-screen.bmp";
  const Picture pattern = e2e::MakePattern(0, 1024, 768);
  QImage screenImage(1024, 768, QImage::Format_RGB32);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      const COLORREF c = pattern.At(x, y);
      screenImage.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  ASSERT_TRUE(screenImage.save(QString::fromStdString(screen), "BMP"));
  const std::string out = e2e::ArtifactDir() + "/render.png";
  std::remove(out.c_str());
  std::string said;
  const e2e::Env headless = {{"DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
  ASSERT_EQ(
      x_->RunPointer({"render", lesson, "-o", out, "--size", "1024x768", "--background", screen},
                     headless, &said),
      0)
      << said;
  const QImage rendered(QString::fromStdString(out));
  const Picture picture = MakePicture(1024, 768, [&](int x, int y) {
    const QRgb p = rendered.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
  });
  std::string where;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    const auto bars = ShownBars();
    return CountDifferences(e2e::Masked(x_->Screenshot(), bars), e2e::Masked(picture, bars),
                            &where) == 0;
  })) << where;

  ASSERT_EQ(x_->RunPointer({"info", lesson}, headless, &said), 0) << said;
  EXPECT_NE(said.find("line"), std::string::npos) << said;
  EXPECT_NE(said.find("arrow"), std::string::npos) << said;
  EXPECT_EQ(x_->RunPointer({"info", lesson + ".missing"}, headless, &said), 1);
  EXPECT_NE(said.find("no such file"), std::string::npos) << said;
}

}  // namespace
