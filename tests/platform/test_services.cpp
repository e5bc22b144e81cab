#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "platform/services.h"
#include "platform/wnd.h"

namespace {

class ScriptedServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { SetAppTitle(GBK("教鞭")); }
  void TearDown() override { SetAppTitle({}); }
  plat::ScriptedServices script;
  plat::ScopedServices scope{&script};
};

TEST_F(ScriptedServicesTest,
       MessageBoxesAreRecordedWithTheAppTitleAndAnswerAsScriptedOrWithTheirFirstButton) {
  EXPECT_EQ(AfxMessageBox(GBK("文件无法创建！")), IDOK);
  EXPECT_EQ(MessageBoxOwned(nullptr, GBK("保存图片文件完成！"), GBK("消息"), MB_OK), IDOK);
  ASSERT_EQ(script.boxes.size(), 2u);
  EXPECT_EQ(script.boxes[0].text, GBK("文件无法创建！"));
  EXPECT_EQ(script.boxes[0].caption, GBK("教鞭"));
  EXPECT_EQ(script.boxes[0].type, MB_OK);
  EXPECT_EQ(script.boxes[1].caption, GBK("消息"));

  // Unscripted boxes answer with their first button.
  EXPECT_EQ(AfxMessageBox("q", MB_YESNOCANCEL | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(AfxMessageBox("q", MB_YESNO), IDYES);
  EXPECT_EQ(AfxMessageBox("q", MB_OKCANCEL | MB_ICONEXCLAMATION), IDOK);
  script.boxAnswers = {IDNO, IDCANCEL};
  EXPECT_EQ(AfxMessageBox("q", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(AfxMessageBox("q", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(AfxMessageBox("q", MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(script.boxes.size(), 8u);
}

TEST_F(ScriptedServicesTest, PausesPointerMovesAndFileAndColourDialogsFollowTheScript) {
  Sleep(1000);
  Sleep(2000);
  EXPECT_EQ(script.pauses, (std::vector<unsigned>{1000, 2000}));

  EXPECT_TRUE(SetCursorPos(10, 20));
  EXPECT_TRUE(SetCursorPos(-5, 700));
  POINT p;
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p, (POINT{-5, 700}));
  ASSERT_EQ(script.pointerMoves.size(), 2u);
  EXPECT_EQ(script.pointerMoves[0], (POINT{10, 20}));
  EXPECT_FALSE(GetCursorPos(nullptr));

  const std::string filter = GBK("教鞭数据文件(*.zsy)|*.zsy||");
  CFileDialog save(false, "zsy", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
  save.m_ofn.lpstrTitle = GBK("把当前操作保存为数据文件");
  script.fileAnswers = {GBK("/tmp/课/lesson.zsy"), ""};
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), GBK("/tmp/课/lesson.zsy"));
  EXPECT_EQ(save.GetFileName(), "lesson.zsy");
  EXPECT_EQ(save.GetFileExt(), "zsy");

  CFileDialog open(true, "zsy", "", OFN_HIDEREADONLY, filter);
  EXPECT_EQ(open.DoModal(), IDCANCEL);  // "" cancels
  EXPECT_EQ(open.DoModal(), IDCANCEL);  // so does an empty script
  EXPECT_EQ(open.GetPathName(), "");

  ASSERT_EQ(script.fileRequests.size(), 3u);
  const plat::FileDialogRequest& r = script.fileRequests[0];
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.title, GBK("把当前操作保存为数据文件"));
  EXPECT_EQ(r.defExt, "zsy");
  EXPECT_EQ(r.filter, filter);
  EXPECT_EQ(r.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(script.fileRequests[1].open);
  EXPECT_EQ(script.fileRequests[1].title, "");

  // A colour dialog keeps its colour when cancelled.
  script.colorAnswers = {{true, RGB(1, 2, 3)}, {false, RGB(9, 9, 9)}};
  CColorDialog dlg(RGB(255, 0, 0), CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR);
  EXPECT_EQ(dlg.GetColor(), RGB(255, 0, 0));
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);  // nothing scripted
}

TEST(Services, AScopeRestoresTheRealServicesWhosePauseHandsNoEventToTheProgram) {
  plat::Services* real = &plat::GetServices();
  {
    plat::ScriptedServices script;
    plat::ScopedServices scope(&script);
    EXPECT_EQ(&plat::GetServices(), &script);
  }
  EXPECT_EQ(&plat::GetServices(), real);
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  Sleep(20);
  EXPECT_FALSE(fired);
  for (int i = 0; i < 100 && !fired; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(fired);
}

TEST(Services, TheRealPointerMovesWhereItIsSetAndTheTitleIsTheProgramNameUntilSet) {
  ASSERT_TRUE(SetCursorPos(123, 45));
  POINT p;
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p, (POINT{123, 45}));
  SetAppTitle({});
  EXPECT_FALSE(GetAppTitle().empty());
  SetAppTitle(GBK("教鞭"));
  EXPECT_EQ(GetAppTitle(), GBK("教鞭"));
  SetAppTitle({});
}

}  // namespace
