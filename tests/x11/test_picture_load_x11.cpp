// Loading a picture on a real display: the capture that makes it the board's
// picture reads the screen, which only a display shows.
#include <QImage>
#include <filesystem>

#include "app/picture_commands.h"
#include "platform/app.h"
#include "tests/support/board_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

// The board covers the screen: it leaves it to the other tests afterwards.
class PictureLoadX11 : public BoardTest {
 protected:
  void TearDown() override {
    Frame().ShowWindow(SW_HIDE);
    plat::ProcessEvents(50);
    BoardTest::TearDown();
  }
};

TEST_F(PictureLoadX11, ALoadedPictureIsStretchedOverTheBoardAndBecomesItsPicture) {
  CBoardWnd& board = Board();
  InstallPictureCommands(board);
  const int W = board.m_rcDesktop.right, H = board.m_rcDesktop.bottom;
  // Half the board's size, its top-left quarter red.
  QImage half(W / 2, H / 2, QImage::Format_RGB32);
  half.fill(Qt::blue);
  for (int y = 0; y < H / 4; ++y)
    for (int x = 0; x < W / 4; ++x) half.setPixel(x, y, qRgb(255, 0, 0));
  const TempFolder dir;
  const std::string path = dir / "load.BMP";
  ASSERT_TRUE(half.save(QString::fromStdString(path), "BMP"));

  board.AppendRecord(Rec(op::kLine, 5, 5, 50, 50));
  plat::ProcessEvents(50);
  Frame().m_barsHidden = false;
  m_services.fileAnswers.push_back(path);
  board.SendCommand(ID_LOAD_PICTURE);
  EXPECT_EQ(std::pair(Frame().m_barsHidden, Count()), std::pair(false, 1))
      << "the bars hidden for the capture and shown again after it, the records kept";
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  for (CBitmap* p : {&board.m_bmpCurrent, &board.m_bmpCaptured})
    EXPECT_EQ((std::vector{p->GetPixel(1, 1), p->GetPixel(W / 2 - 2, H / 2 - 2),
                           p->GetPixel(W / 2 + 2, H / 2 + 2), p->GetPixel(W - 1, H - 1)}),
              (std::vector{red, red, blue, blue}));
}

}  // namespace
