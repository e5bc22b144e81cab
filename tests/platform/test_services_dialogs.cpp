// Message boxes and common dialogs: the services' side with the scripted
// double standing in for the user, and the real ones, in the program's
// language, driven from a timer while they run modally on the offscreen
// platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/codepage.h"
#include "platform/commdlg.h"
#include "platform/filedlg_qt.h"
#include "platform/services.h"
#include "platform/wnd.h"
#include "res/res.h"
#include "res/resource.h"
#include "tests/platform/test_wnd_util.h"
#include "tests/records/data_file_util.h"

namespace fs = std::filesystem;

// Readable failure messages for lists of names.
void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace {

TEST(Services, ThePauseHandsNoEventToTheProgram) {
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  Sleep(20);
  EXPECT_FALSE(fired);
  for (int i = 0; i < 100 && !fired; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(fired);
}

// Calls step from the event loop until it returns true, then done; done also
// ends a step that never succeeds. Each call re-arms itself, so a test never
// depends on how long a dialog takes to show.
void Poll(std::function<bool()> step, std::function<void()> done, int tries = 1000) {
  QTimer::singleShot(
      10, [step, done, tries] { step() || tries == 0 ? done() : Poll(step, done, tries - 1); });
}

// Runs act on the modal dialog once it is up.
template <class Dialog>
void WhenShown(std::function<void(Dialog*)> act) {
  Poll(
      [act] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        return dlg && dlg->isVisible() && (act(dlg), true);
      },
      [] {});
}

// Types a name into the file dialog once it is up and accepts it.
void AcceptName(const QString& name) {
  WhenShown<QFileDialog>([name](QFileDialog* dlg) {
    dlg->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    static_cast<QDialog*>(dlg)->accept();
  });
}

TEST(RealMessageBox, ShowsItsTextInChineseEscapeCancelsWhereItCanAndEnterTakesTheFirstButton) {
  QStringList labels;
  for (const auto& [type, answer] :
       {std::pair{MB_YESNOCANCEL, IDCANCEL}, {MB_OKCANCEL, IDCANCEL}, {MB_OK, IDOK}}) {
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      for (QAbstractButton* b : box->buttons()) labels << b->text();
      wndtest::Key(box, Qt::Key_Escape);
    });
    // Without a caption: the program's title.
    EXPECT_EQ(type == MB_OK ? AfxMessageBox("a", type) : MessageBoxOwned(nullptr, "a", "b", type),
              answer)
        << type;
  }
  labels.sort();
  labels.removeDuplicates();
  EXPECT_EQ(labels, (QStringList{"取消", "否(&N)", "是(&Y)", "确定"}));

  // A yes/no box has no cancel: Escape and closing do not answer it.
  QString text, caption;
  bool stillShown = false;
  WhenShown<QMessageBox>([&](QMessageBox* box) {
    text = box->text(), caption = box->windowTitle();
    wndtest::Key(box, Qt::Key_Escape);
    box->close();
    stillShown = box->isVisible();
    for (QAbstractButton* b : box->buttons())
      if (b->text() == QStringLiteral("否(&N)")) b->click();
  });
  EXPECT_EQ(MessageBoxOwned(nullptr, GBK("是否保留当前画面？"), GBK("临时退出"),
                            MB_YESNO | MB_ICONQUESTION),
            IDNO);
  EXPECT_EQ(std::tuple(text, caption, stillShown),
            std::tuple(QStringLiteral("是否保留当前画面？"), QStringLiteral("临时退出"), true));

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenShown<QMessageBox>(
      [&](QMessageBox* box) { icon = box->icon(), wndtest::Key(box, Qt::Key_Return); });
  EXPECT_EQ(MessageBoxOwned(nullptr, "a", "b", MB_YESNO | MB_ICONEXCLAMATION), IDYES);
  EXPECT_EQ(icon, QMessageBox::Warning);
}

// A folder of picture files and others, with a Chinese name.
class RealFileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(m_dir);
    for (const char* name : {"a.jpg", "b.jpeg", "C.JPG", "d.bmp", "e.dib", "f.txt", "g.png"})
      std::ofstream(m_dir / name) << "x";
  }

  // The file names the dialog lists in its folder under the current filter.
  static QStringList Listed(QFileDialog* dlg) {
    auto* model = dlg->findChild<QFileSystemModel*>();
    if (!model) return {};
    const QModelIndex dir = model->index(dlg->directory().absolutePath());
    while (model->canFetchMore(dir)) model->fetchMore(dir);
    QStringList names;
    for (int i = 0; i < model->rowCount(dir); ++i)
      names << model->index(i, 0, dir).data().toString();
    names.sort();
    return names;
  }

  static std::string Gbk(const fs::path& p) { return GBK(p.string()); }

  TempFolder m_root;
  fs::path m_dir = m_root / "图片";
};

// The picture filter as the string table stores it, stray blanks included.
std::string PictureFilter() { return GBK(res::String(IDS_PICTURE_FILTER)); }

TEST_F(RealFileDialog, ThePictureFilterOffersEveryPictureFileDespiteItsStrayBlanks) {
  QStringList filters, jpegs, bitmaps;
  QString title;
  WhenShown<QFileDialog>([&](QFileDialog* dlg) {
    title = dlg->windowTitle();
    filters = dlg->nameFilters();
    // The folder loads in the background: look until the files are listed
    // under the first filter, then under the second.
    Poll(
        [&, dlg, second = false]() mutable {
          if (!second) {
            jpegs = Listed(dlg);
            if (jpegs.size() >= 3) dlg->selectNameFilter(filters.value(1)), second = true;
            return false;
          }
          bitmaps = Listed(dlg);
          return !bitmaps.isEmpty() && !bitmaps.contains(QStringLiteral("a.jpg"));
        },
        [dlg] { dlg->reject(); });
  });
  std::string path = "unchanged";
  plat::FileDialogRequest req;  // for opening a file
  req.filter = PictureFilter(), req.initialFile = Gbk(m_dir / "none"), req.flags = OFN_HIDEREADONLY;
  EXPECT_FALSE(plat::GetServices().FileDialog(nullptr, req, path));
  EXPECT_EQ(path, "unchanged");
  EXPECT_EQ(title, QStringLiteral("打开"));
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].startsWith(QStringLiteral("JPEG 格式图片文件 (*.jpg;*.jpeg)")));
  EXPECT_EQ(jpegs, (QStringList{"C.JPG", "a.jpg", "b.jpeg"}));
  EXPECT_EQ(bitmaps, (QStringList{"d.bmp", "e.dib"}));
}

TEST_F(RealFileDialog, TypesSizesDatesAndEveryLabelAreChineseWhateverTheMachinesLanguage) {
  fs::create_directory(m_dir / "sub");
  std::ofstream(m_dir / "课.zsy") << "x";
  QStringList texts, cells;
  QString shownIn;
  WhenShown<QFileDialog>([&](QFileDialog* dlg) {
    shownIn = dlg->directory().absolutePath();
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
      texts << w->toolTip();
      if (auto* label = qobject_cast<QLabel*>(w))  // "&" shows unless it marks a mnemonic
        texts << (label->buddy() ? label->text() : label->text().replace(u'&', u'A'));
      if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
      for (QAction* a : w->actions()) texts << a->text() << a->toolTip();  // menus' too
    }
    auto* view = dlg->findChild<QTreeView*>(QStringLiteral("treeView"));
    for (int c = 0; c < 4; ++c) cells << view->model()->headerData(c, Qt::Horizontal).toString();
    Poll(  // the types come from the model's background thread
        [&, dlg, view] {
          Listed(dlg);
          const auto cell = [&](const fs::path& p, int column) {
            QModelIndex i = dlg->findChild<QFileSystemModel*>()->index(
                QString::fromStdString(p.string()), column);
            if (auto* shown = qobject_cast<QAbstractProxyModel*>(view->model()))
              i = shown->mapFromSource(i);
            return i.data().toString();
          };
          cells = cells.mid(0, 4) << cell(m_dir / "sub", 2) << cell(m_dir / "课.zsy", 2)
                                  << cell(m_dir / "课.zsy", 1) << cell(m_dir / "课.zsy", 3);
          return !cells[4].isEmpty() && !cells[5].isEmpty();
        },
        [dlg] { dlg->reject(); });
  });
  CFileDialog dlg(true, "zsy", {}, OFN_HIDEREADONLY, GBK("教鞭数据文件(*.zsy)|*.zsy||"));
  dlg.m_ofn.lpstrInitialDir = Gbk(m_dir / "gone" / "deeper");  // the nearest folder left
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(shownIn.toStdString(), m_dir.string());
  // Latin letters outside a mnemonic: "(&N)" in a label, "(N)" in a tooltip.
  texts.replaceInStrings(QRegularExpression(QStringLiteral("\\(&?\\w\\)")), QString());
  EXPECT_EQ(texts.filter(QRegularExpression(QStringLiteral("[A-Za-z]"))), QStringList());
  ASSERT_EQ(cells.size(), 8);
  cells[7].replace(QRegularExpression(QStringLiteral("^\\d{4}/\\d+/\\d+ \\d+:\\d\\d$")), "date");
  EXPECT_EQ(cells, (QStringList{"名称", "大小", "类型", "修改日期", "文件夹", "教鞭数据文件",
                                "1 KB", "date"}));
}

TEST(FileTypeNames, ComeFromTheNameAloneAndSizesCountWholeKilobytes) {
  const QString filter = QString::fromUtf8(res::String(IDS_PICTURE_FILTER)).chopped(1) +
                         QStringLiteral("所有文件(*.*)|*.*||");
  const plat::NameOnlyIconProvider icons(plat::ParseFileFilter(filter));
  QStringList types, sizes;
  for (const char* name : {"/x/A.JPG", "/x/b.jpeg", "/x/e.dib", "/x/a.zsy.bak", "/x/README"})
    types << icons.type(QFileInfo(QString::fromLatin1(name)));
  EXPECT_EQ(types, (QStringList{"JPEG 格式图片文件", "JPEG 格式图片文件", "BMP 格式图片文件",
                                "BAK 文件", "文件"}));
  for (qint64 bytes : {0, 1, 1024, 1025, 1048576}) sizes << plat::KilobyteText(bytes);
  EXPECT_EQ(sizes, (QStringList{"0 KB", "1 KB", "1 KB", "2 KB", "1,024 KB"}));
}

// Answers the overwrite question from a script; the dialog itself is real.
struct OverwriteAnswers : plat::ScriptedServices {
  bool FileDialog(CWnd* owner, const plat::FileDialogRequest& req, std::string& path) override {
    return plat::Services::FileDialog(owner, req, path);
  }
};

TEST_F(RealFileDialog,
       ANewNameGetsTheDefaultExtensionAndReplacingAFileIsAskedOnlyWithTheOverwriteFlag) {
  AcceptName(QStringLiteral("课件"));
  CFileDialog dlg(false, "zsy", Gbk(m_dir / "x"), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                  GBK("教鞭数据文件(*.zsy)|*.zsy||"));
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Gbk(m_dir / "课件.zsy"));

  // Replacing an existing file is asked first.
  OverwriteAnswers services;
  services.boxAnswers = {IDNO, IDYES};
  plat::ScopedServices scope(&services);
  bool stayedAfterNo = false;
  WhenShown<QFileDialog>([&](QFileDialog* replace) {
    replace->findChild<QLineEdit*>("fileNameEdit")->setText(QStringLiteral("a.jpg"));
    static_cast<QDialog*>(replace)->accept();  // answered No: the dialog stays
    stayedAfterNo = replace->isVisible();
    static_cast<QDialog*>(replace)->accept();  // answered Yes
  });
  CFileDialog replace(false, "jpg", Gbk(m_dir / "x"), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                      PictureFilter());
  ASSERT_EQ(replace.DoModal(), IDOK);
  EXPECT_TRUE(stayedAfterNo);
  EXPECT_EQ(replace.GetPathName(), Gbk(m_dir / "a.jpg"));
  ASSERT_EQ(services.boxes.size(), 2u);
  EXPECT_NE(services.boxes[0].text.find(GBK("a.jpg")), std::string::npos);
  EXPECT_EQ(services.boxes[0].type & 0xF, UINT(MB_YESNO));

  // Without the overwrite flag an existing file is taken silently.
  services.boxes.clear();
  AcceptName(QStringLiteral("d.bmp"));
  CFileDialog quiet(false, "jpg", Gbk(m_dir / "x"), OFN_HIDEREADONLY, PictureFilter());
  ASSERT_EQ(quiet.DoModal(), IDOK);
  EXPECT_EQ(quiet.GetPathName(), Gbk(m_dir / "d.bmp"));
  EXPECT_TRUE(services.boxes.empty());
}

TEST(RealColorDialog, OpensOnTheInitialColourAndReturnsTheChosenOne) {
  QColor shown;
  QString ok;
  WhenShown<QColorDialog>([&](QColorDialog* dlg) {
    shown = dlg->currentColor();
    ok = dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
    dlg->setCurrentColor(QColor(10, 20, 30));
    static_cast<QDialog*>(dlg)->accept();
  });
  CColorDialog dlg(RGB(200, 100, 50), CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(std::tuple(shown, ok, dlg.GetColor()),
            std::tuple(QColor(200, 100, 50), QStringLiteral("确定"), RGB(10, 20, 30)));

  WhenShown<QColorDialog>([](QColorDialog* d) { d->reject(); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));
}

}  // namespace
