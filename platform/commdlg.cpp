#include "platform/commdlg.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "platform/codepage.h"
#include "platform/filedlg_qt.h"
#include "platform/services.h"
#include "platform/wnd.h"
#include "platform/wnd_widget_qt.h"

namespace {

QString FromGbk(const std::string& gbk) { return QString::fromStdString(plat::Utf8FromGbk(gbk)); }

QWidget* OwnerWidget(CWnd* owner) {
  return owner && owner->IsCreated() ? owner->GetWidget() : nullptr;
}

// Qt name filters "desc (*.a *.b)".
QStringList NameFilters(const std::vector<plat::FileTypeFilter>& filters) {
  QStringList names;
  for (const plat::FileTypeFilter& f : filters)
    names << f.description + QStringLiteral(" (") + f.patterns.join(u' ') + u')';
  return names;
}

// The folder a dialog opens in: the one asked for, or the nearest folder
// above it that still exists when it has been removed or renamed.
QString ExistingFolder(const std::string& gbkFolder) {
  if (gbkFolder.empty()) return {};
  QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(FromGbk(gbkFolder)));
  while (!QFileInfo(folder).isDir()) {
    if (QDir(folder).isRoot()) return {};
    folder = QFileInfo(folder).path();
  }
  return folder;
}

class FileDialogQt : public QFileDialog {
 public:
  FileDialogQt(QWidget* parent, bool overwritePrompt)
      : QFileDialog(parent), m_overwritePrompt(overwritePrompt) {}

  // Asks before an existing file is replaced; the question goes through the
  // services like every message box of the program.
  void accept() override {
    if (acceptMode() == AcceptSave && m_overwritePrompt) {
      const QStringList files = selectedFiles();
      const QFileInfo info(files.value(0));
      if (!files.isEmpty() && info.exists() && !info.isDir()) {
        const std::string text = plat::GbkFromUtf8(
            (info.fileName() + QStringLiteral(" 已存在。\n要替换它吗?")).toStdString());
        if (plat::GetServices().MessageBox(nullptr, text, GBK("确认另存为"),
                                           MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
          return;
        }
      }
    }
    QFileDialog::accept();
  }

 private:
  bool m_overwritePrompt;
};

void LabelButtons(QDialog& dialog) {
  if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
    if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("确定"));
    if (QPushButton* no = box->button(QDialogButtonBox::Cancel))
      no->setText(QStringLiteral("取消"));
  }
}

}  // namespace

namespace plat {

bool Services::FileDialog(CWnd* owner, const FileDialogRequest& req, std::string& path) {
  const std::vector<FileTypeFilter> filters = ParseFileFilter(FromGbk(req.filter));
  // Declared first: the dialog's model uses it until it is gone.
  NameOnlyIconProvider icons(filters);
  FileDialogQt dialog(OwnerWidget(owner), (req.flags & OFN_OVERWRITEPROMPT) != 0);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked by accept() above
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(req.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(req.open && (req.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                 : QFileDialog::AnyFile);
  const QString defaultTitle = req.open ? QStringLiteral("打开") : QStringLiteral("另存为");
  dialog.setWindowTitle(req.title.empty() ? defaultTitle : FromGbk(req.title));
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围(&I):"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名(&N):"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("文件类型(&T):"));
  dialog.setLabelText(QFileDialog::Accept,
                      req.open ? QStringLiteral("打开(&O)") : QStringLiteral("保存(&S)"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
  // The labels' mnemonics reach their fields, so no "&" shows.
  for (const auto& [label, field] :
       {std::pair{"lookInLabel", "lookInCombo"}, std::pair{"fileTypeLabel", "fileTypeCombo"}}) {
    auto* shown = dialog.findChild<QLabel*>(QLatin1String(label));
    if (shown && !shown->buddy()) shown->setBuddy(dialog.findChild<QWidget*>(QLatin1String(field)));
  }
  dialog.setIconProvider(&icons);
  dialog.setProxyModel(new ChineseFileColumns(&dialog));  // the dialog takes it
  // Renames the header menu's "显示 …" entries after the proxy's column titles.
  QEvent retitle(QEvent::LanguageChange);
  QCoreApplication::sendEvent(&dialog, &retitle);
  // Windows matches patterns regardless of letter case: "*.jpg" offers A.JPG.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);

  if (!filters.empty()) dialog.setNameFilters(NameFilters(filters));
  if (!req.defExt.empty()) dialog.setDefaultSuffix(FromGbk(req.defExt));
  if (const QString folder = ExistingFolder(req.initialDir); !folder.isEmpty())
    dialog.setDirectory(folder);
  if (!req.initialFile.empty()) dialog.selectFile(FromGbk(req.initialFile));

  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return false;
  path = GbkFromUtf8(files.front().toStdString());
  return true;
}

bool Services::ColorDialog(CWnd* owner, COLORREF& color, DWORD flags) {
  QColorDialog dialog(OwnerWidget(owner));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  dialog.setWindowTitle(QStringLiteral("颜色"));
  const COLORREF initial = (flags & CC_RGBINIT) ? color : RGB(0, 0, 0);
  dialog.setCurrentColor(QColor(GetRValue(initial), GetGValue(initial), GetBValue(initial)));
  LabelButtons(dialog);
  ScrollWhenLargerThan(dialog, ScreenOf(&dialog)->availableGeometry().size());
  if (dialog.exec() != QDialog::Accepted) return false;
  const QColor chosen = dialog.selectedColor();
  if (!chosen.isValid()) return false;
  color = RGB(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

}  // namespace plat

CFileDialog::CFileDialog(bool bOpenFileDialog, const std::string& defExt,
                         const std::string& fileName, DWORD flags, const std::string& filter,
                         CWnd* parent)
    : m_open(bOpenFileDialog),
      m_defExt(defExt),
      m_fileName(fileName),
      m_filter(filter),
      m_parent(parent) {
  m_ofn.Flags = flags;
}

int CFileDialog::DoModal() {
  plat::FileDialogRequest req;
  req.open = m_open;
  req.title = m_ofn.lpstrTitle;
  req.defExt = m_defExt;
  req.filter = m_filter;
  req.initialFile = m_fileName;
  req.initialDir = m_ofn.lpstrInitialDir;
  req.flags = m_ofn.Flags;
  std::string path;
  if (!plat::GetServices().FileDialog(m_parent, req, path)) return IDCANCEL;
  m_path = path;
  return IDOK;
}

std::string FolderOfPath(const std::string& gbkPath) {
  const std::size_t slash = gbkPath.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : gbkPath.substr(0, slash);
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD flags, CWnd* parent) : m_parent(parent) {
  m_cc.rgbResult = clrInit;
  m_cc.Flags = flags;
}

int CColorDialog::DoModal() {
  COLORREF color = m_cc.rgbResult;
  if (!plat::GetServices().ColorDialog(m_parent, color, m_cc.Flags)) return IDCANCEL;
  m_cc.rgbResult = color;
  return IDOK;
}
