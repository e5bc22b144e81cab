// The dialogs' and message boxes' side of the services; the scripted double
// stands in for the user.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "platform/services.h"
#include "platform/wnd.h"

namespace {

TEST(Services, AMessageBoxWithoutCaptionTakesTheTitleAndAFileDialogPassesItsOptions) {
  plat::ScriptedServices script;
  plat::ScopedServices scope(&script);
  SetAppTitle({});
  EXPECT_FALSE(GetAppTitle().empty()) << "the program's name until it names itself";
  SetAppTitle(GBK("教鞭"));
  AfxMessageBox(GBK("文件无法创建！"), MB_OKCANCEL);
  SetAppTitle({});
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(script.boxes[0].text, GBK("文件无法创建！"));
  EXPECT_EQ(script.boxes[0].caption, GBK("教鞭"));
  EXPECT_EQ(script.boxes[0].type, MB_OKCANCEL);

  const std::string filter = GBK("教鞭数据文件(*.zsy)|*.zsy||");
  CFileDialog save(false, "zsy", "x", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
  save.m_ofn.lpstrTitle = GBK("把当前操作保存为数据文件");
  script.fileAnswers = {GBK("/tmp/课/lesson.zsy"), ""};
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), GBK("/tmp/课/lesson.zsy"));
  EXPECT_EQ(save.GetFileName(), "lesson.zsy");
  EXPECT_EQ(save.GetFileExt(), "zsy");
  EXPECT_EQ(save.DoModal(), IDCANCEL);
  ASSERT_EQ(script.fileRequests.size(), 2u);
  const plat::FileDialogRequest& r = script.fileRequests[0];
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.title, GBK("把当前操作保存为数据文件"));
  EXPECT_EQ(r.defExt, "zsy");
  EXPECT_EQ(r.filter, filter);
  EXPECT_EQ(r.initialFile, "x");
  EXPECT_EQ(r.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
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

}  // namespace
