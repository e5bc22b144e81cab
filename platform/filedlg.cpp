#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLayout>
#include <QLocale>
#include <QScrollArea>
#include <QStyle>

#include "platform/filedlg_qt.h"

namespace {

const QLocale& Chinese() {
  static const QLocale zh(QLocale::Chinese, QLocale::China);
  return zh;
}

// "教鞭数据文件(*.zsy)" names its files "教鞭数据文件".
QString WithoutPatterns(QString description) {
  const qsizetype open = description.lastIndexOf(u'(');
  if (open > 0 && description.endsWith(u')') && description.indexOf(u'*', open) > 0)
    description.truncate(open);
  return description.trimmed();
}

bool RemoveFrom(QLayout* layout, QWidget* w) {
  if (layout->indexOf(w) >= 0) {
    layout->removeWidget(w);
    return true;
  }
  for (int i = 0; i < layout->count(); ++i)
    if (QLayout* sub = layout->itemAt(i)->layout(); sub && RemoveFrom(sub, w)) return true;
  return false;
}

}  // namespace

namespace plat {

std::vector<FileTypeFilter> ParseFileFilter(const QString& filter) {
  QStringList parts = filter.split(u'|');
  while (!parts.isEmpty() && parts.back().isEmpty()) parts.pop_back();
  std::vector<FileTypeFilter> filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (QString p : parts[i + 1].split(u';')) {
      p.remove(u' ');
      p.remove(u'\t');
      if (!p.isEmpty()) patterns << p;
    }
    if (!patterns.isEmpty()) filters.push_back({parts[i].trimmed(), patterns});
  }
  return filters;
}

NameOnlyIconProvider::NameOnlyIconProvider(const std::vector<FileTypeFilter>& filters) {
  for (const FileTypeFilter& f : filters) {
    Kind kind{WithoutPatterns(f.description), {}};
    for (const QString& p : f.patterns) {
      // "*" and "*.*" name every file, not a kind of file.
      if (p == u"*" || p == u"*.*") continue;
      kind.patterns.push_back(QRegularExpression::fromWildcard(p, Qt::CaseInsensitive));
    }
    if (!kind.name.isEmpty() && !kind.patterns.empty()) m_kinds.push_back(std::move(kind));
  }
  QStyle* style = QApplication::style();
  m_folder = style->standardIcon(QStyle::SP_DirIcon);
  m_file = style->standardIcon(QStyle::SP_FileIcon);
  m_drive = style->standardIcon(QStyle::SP_DriveHDIcon);
}

QIcon NameOnlyIconProvider::icon(IconType type) const {
  switch (type) {
    case Computer:
    case Drive:
    case Network:
      return m_drive;
    case Folder:
      return m_folder;
    default:
      return m_file;
  }
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
  if (info.isRoot()) return m_drive;
  return info.isDir() ? m_folder : m_file;
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
  if (info.isDir()) return QStringLiteral("文件夹");
  const QString name = info.fileName();
  for (const Kind& kind : m_kinds)
    for (const QRegularExpression& p : kind.patterns)
      if (p.match(name).hasMatch()) return kind.name;
  const QString ext = info.suffix();
  return ext.isEmpty() ? QStringLiteral("文件") : ext.toUpper() + QStringLiteral(" 文件");
}

QString KilobyteText(qint64 bytes) {
  return Chinese().toString((std::max<qint64>(bytes, 0) + 1023) / 1024) + QStringLiteral(" KB");
}

QVariant ChineseFileColumns::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
    return QIdentityProxyModel::data(index, role);
  const QModelIndex source = mapToSource(index);
  if (index.column() == 3)
    return Chinese().toString(files->lastModified(source), QLocale::ShortFormat);
  return files->isDir(source) ? QString() : KilobyteText(files->size(source));
}

QVariant ChineseFileColumns::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char16_t* const titles[] = {u"名称", u"大小", u"类型", u"修改日期"};
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
    return QString::fromUtf16(titles[section]);
  return QIdentityProxyModel::headerData(section, orientation, role);
}

void ScrollWhenLargerThan(QDialog& dialog, const QSize& room) {
  QLayout* content = dialog.layout();
  if (!content) return;
  const QSize need = dialog.sizeHint();
  if (need.width() <= room.width() && need.height() <= room.height()) return;
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  if (buttons && !RemoveFrom(content, buttons)) buttons = nullptr;
  auto* inner = new QWidget;
  inner->setLayout(content);  // takes the layout and the widgets in it
  auto* scroll = new QScrollArea(&dialog);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(inner);
  auto* outer = new QVBoxLayout(&dialog);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll, 1);
  if (buttons) {
    buttons->setContentsMargins(6, 0, 6, 6);
    outer->addWidget(buttons);
  }
  // The old layout fixed the dialog's size; the new one only bounds it.
  dialog.setMinimumSize(0, 0);
  dialog.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  dialog.resize(need.boundedTo(room));
}

}  // namespace plat
