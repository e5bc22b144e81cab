// Loading a picture on a real display: the capture that makes it the board's
// picture reads the screen, which only a display shows.
#include <filesystem>

#include "image/dib.h"
#include "image/picture_commands.h"
#include "platform/app.h"
#include "tests/support/board_fixture.h"

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
  CBitmap quarter;
  ASSERT_TRUE(quarter.CreateBitmap(W / 2, H / 2));
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CSelectScope<CBitmap> select(mem, &quarter);
    const RECT all{0, 0, W / 2, H / 2}, topLeft{0, 0, W / 4, H / 4};
    mem.FillSolidRect(&all, RGB(0, 0, 255));
    mem.FillSolidRect(&topLeft, RGB(255, 0, 0));
  }
  const std::string path =
      (std::filesystem::temp_directory_path() / "pointer-load-x11.BMP").string();
  CDib small;
  ASSERT_TRUE(small.Create(W / 2, H / 2, 24));
  ASSERT_TRUE(small.FromBitmap(&quarter));
  ASSERT_TRUE(small.Save(path));

  board.AppendRecord(Rec(op::kLine, 5, 5, 50, 50));
  plat::ProcessEvents(50);
  Frame().m_barsHidden = false;
  m_services.fileAnswers.push_back(path);
  board.SendCommand(ID_LOAD_PICTURE);
  std::filesystem::remove(path);
  EXPECT_FALSE(Frame().m_barsHidden) << "hidden for the capture, shown again after it";
  EXPECT_EQ(Count(), 1);
  for (CBitmap* picture : {&board.m_bmpCurrent, &board.m_bmpCaptured}) {
    EXPECT_EQ(picture->GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(picture->GetPixel(W / 2 - 2, H / 2 - 2), RGB(255, 0, 0));
    EXPECT_EQ(picture->GetPixel(W / 2 + 2, H / 2 + 2), RGB(0, 0, 255));
    EXPECT_EQ(picture->GetPixel(W - 1, H - 1), RGB(0, 0, 255));
  }
}

}  // namespace
