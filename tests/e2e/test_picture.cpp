// Saving the board as a picture and loading a picture as its background,
// through the real file dialogs, with commands sent from another process.
// A failed load is met in the picture commands' own tests.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/board_session.h"

namespace {

// The sum of the channel differences.
int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

class PictureFiles : public e2e::BoardSession {
 protected:
  // Types a path into the open dialog and accepts it. The name's completion
  // list may take the first Return.
  bool OpenFile(const std::string& path) {
    if (!TypeInto("打开", {path})) return false;
    for (int i = 0; i < 3; ++i) {
      x_->Xdotool({"key", "Return"});
      if (x_->WaitNotViewable("打开", 1500)) return true;
    }
    return false;
  }
};

TEST_F(PictureFiles, ANameTypedWithoutExtensionIsSavedAsAQuality100JpegOfTheBoard) {
  const std::string base = e2e::ArtifactDir() + "/board";
  std::remove((base + ".jpg").c_str());
  ASSERT_EQ(x_->RunPointer({"--command", "32818"}), 0);
  ASSERT_TRUE(TypeInto("另存为", {base, "@Return"})) << "no save dialog";
  ASSERT_TRUE(TypeInto("消息", {"@Return"})) << "no completion message";
  EXPECT_TRUE(x_->WaitNotViewable("消息"));

  Picture saved;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (saved = e2e::LoadImage(base + ".jpg")).width > 0; }));
  ASSERT_EQ(std::pair(saved.width, saved.height), std::pair(1024, 768));
  // The board (the known picture) within JPEG tolerance, upright.
  const Picture pattern = Pattern();
  long total = 0, samples = 0;
  for (int y = 200; y < 768; y += 7)
    for (int x = 300; x < 1024; x += 7, ++samples)
      total += Distance(saved.At(x, y), pattern.At(x, y));
  EXPECT_LT(double(total) / samples, 12.0);

  e2e::Process identify;
  ASSERT_TRUE(identify.Start({"identify", "-format", "%Q", base + ".jpg"}, x_->ChildEnv(),
                             e2e::ArtifactDir() + "/identify.log"));
  ASSERT_EQ(identify.Wait(), 0);
  EXPECT_EQ(identify.Log(), "100");
}

TEST_F(PictureFiles, AFiftyMegapixelJpegIsStretchedOverTheWholeBoardWithNoDialogLeftInIt) {
  const int w = 8200, h = 6100;
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = x < w / 2 ? 0xFF2040 : 0x20C060;
  }
  const std::string path = e2e::ArtifactDir() + "/huge.jpg";
  ASSERT_TRUE(img.save(QString::fromStdString(path), "JPEG", 90));
  img = QImage();

  ASSERT_EQ(x_->RunPointer({"--command", "32841"}), 0);
  ASSERT_TRUE(OpenFile(path)) << "no open dialog";
  // Everything outside the bars is one half or the other, within JPEG's
  // tolerance: the dialog is not in the captured picture.
  int wrong = -1;
  e2e::WaitUntil([&] {
    const Picture shot = e2e::Masked(x_->Screenshot(), ShownBars());
    wrong = 0;
    for (int y = 0; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) {
        const COLORREF c = shot.At(x, y);
        if (c == 0) continue;  // masked
        const COLORREF want = x < shot.width / 2 - 1 ? RGB(0xFF, 0x20, 0x40)
                              : x > shot.width / 2   ? RGB(0x20, 0xC0, 0x60)
                                                     : c;
        wrong += Distance(c, want) > 24;
      }
    return wrong == 0;
  });
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(BarsShown());
  std::remove(path.c_str());
}

}  // namespace
