// The board's save-picture and load-picture commands, driven through the
// board's message map with scripted file dialogs and message boxes.
#include <sys/stat.h>

#include <filesystem>

#include "app/picture_commands.h"
#include "image/dib.h"
#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "res/res.h"
#include "tests/image/image_test_util.h"
#include "tests/support/board_fixture.h"

using namespace imgtest;

namespace {

class PictureCommands : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    [[maybe_unused]] static const bool installed = (InstallPictureCommands(Board()), true);
    W = Board().m_rcDesktop.right, H = Board().m_rcDesktop.bottom;
    // A picture whose every quarter differs, so orientation and size show.
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CSelectScope<CBitmap> select(mem, &Board().m_bmpCurrent);
    const RECT all{0, 0, W, H}, topLeft{0, 0, W / 2, H / 2};
    mem.FillSolidRect(&all, kBack);
    mem.FillSolidRect(&topLeft, kCorner);
  }

  static constexpr COLORREF kBack = RGB(10, 120, 200), kCorner = RGB(250, 200, 0);
  TempFolder dir;
  int W = 0, H = 0;
};

}  // namespace

TEST_F(PictureCommands, SaveAsksForAJpegWithOverwritePromptAndLoadForAnyFileWithTheStoredFilter) {
  m_services.fileAnswers = {"", ""};
  Board().SendCommand(ID_SAVE_PICTURE);
  Board().SendCommand(ID_LOAD_PICTURE);
  ASSERT_EQ(m_services.fileRequests.size(), 2u);
  const plat::FileDialogRequest &save = m_services.fileRequests[0],
                                &load = m_services.fileRequests[1];
  const std::string filter = GBK(res::String(IDS_PICTURE_FILTER));
  EXPECT_EQ(std::tuple(save.open, save.defExt, save.initialFile, save.flags, save.filter),
            std::tuple(false, "jpg", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter));
  EXPECT_EQ(std::tuple(load.open, load.defExt, load.flags, load.filter),
            std::tuple(true, "", OFN_HIDEREADONLY, filter));
  EXPECT_TRUE(m_services.boxes.empty()) << "cancelling ends the command";
}

TEST_F(PictureCommands, EachDialogStartsInTheFolderOfThePictureLastChosen) {
  m_services.fileAnswers = {dir / "x.bmp", "", dir / "gone/y.bmp", ""};
  for (UINT id : {ID_SAVE_PICTURE, ID_LOAD_PICTURE, ID_LOAD_PICTURE, ID_SAVE_PICTURE})
    Board().SendCommand(id);
  ASSERT_EQ(m_services.fileRequests.size(), 4u);
  EXPECT_EQ(std::pair(m_services.fileRequests[1].initialDir, m_services.fileRequests[3].initialDir),
            std::pair(dir.path, dir / "gone"));
}

TEST_F(PictureCommands, SavingAsBmpWritesTheBoardPictureAndAnUnknownExtensionNothingSayingWhy) {
  m_services.fileAnswers = {dir / "B.BMP", dir / "c.png"};
  Board().SendCommand(ID_SAVE_PICTURE);
  Board().SendCommand(ID_SAVE_PICTURE);
  ASSERT_EQ(m_services.boxes.size(), 2u) << "a file not written is reported";
  const auto& box = m_services.boxes[0];
  EXPECT_EQ(std::tuple(box.text, box.caption, box.type),
            std::tuple(GBK("保存图片文件完成！"), GBK("消息"), MB_OK));
  const std::size_t rows = std::size_t(dib::RowBytes(24, W)) * H;
  EXPECT_EQ(std::filesystem::file_size(dir / "B.BMP"), 54 + rows);
  CDib saved;
  ASSERT_TRUE(saved.Load(dir / "B.BMP"));
  EXPECT_EQ(std::pair(Dib24Pixel(*saved.Block(), 0, 0), Dib24Pixel(*saved.Block(), W - 1, H - 1)),
            std::pair(kCorner, kBack));
  EXPECT_FALSE(std::filesystem::exists(dir / "c.png"));
  const std::string& text = m_services.boxes[1].text;
  for (const std::string& part :
       {GBK("图片文件无法保存"), dir / "c.png", PictureErrorText(PictureError::kUnsupportedType)})
    EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST_F(PictureCommands, AFailedLoadSaysWhyAndLeavesTheBoardPictureAndBarsUnchanged) {
  WriteFileBytes(dir / "broken.bmp", {'B', 'M', 1, 2, 3});
  ASSERT_EQ(mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
  const bool barsHidden = Frame().m_barsHidden;
  const struct {
    std::string path;
    PictureError why;
  } cases[] = {{dir / "broken.bmp", PictureError::kUnreadable},
               {dir / "missing.jpg", PictureError::kNotFound},
               {dir / "notes.txt", PictureError::kUnsupportedType},
               {dir / "pipe.jpg", PictureError::kNotRegular}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    m_services.boxes.clear();
    m_services.fileAnswers.push_back(c.path);
    Board().SendCommand(ID_LOAD_PICTURE);  // a FIFO would hang here if opened blocking
    EXPECT_EQ(std::tuple(Board().m_bmpCurrent.GetPixel(1, 1),
                         Board().m_bmpCurrent.GetPixel(W - 1, H - 1), Frame().m_barsHidden),
              std::tuple(kCorner, kBack, barsHidden));
    ASSERT_EQ(m_services.boxes.size(), 1u);
    const std::string& text = m_services.boxes[0].text;
    EXPECT_TRUE(text.find(GBK("图片文件无法打开")) != std::string::npos &&
                text.find(PictureErrorText(c.why)) != std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.jpg"));
}
