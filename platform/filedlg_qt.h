#pragma once
// What the file dialogs show about each entry: decided from its name and
// kind alone, in the program's language whatever the machine's.
#include <QAbstractFileIconProvider>
#include <QIcon>
#include <QIdentityProxyModel>
#include <QRegularExpression>
#include <QStringList>
#include <vector>

class QDialog;

namespace plat {

struct FileTypeFilter {
  QString description;   // as shown in the type list: "教鞭数据文件(*.zsy)"
  QStringList patterns;  // "*.zsy"
};
// "desc|*.a;*.b|desc|*.c||" in UTF-8. Blanks inside the patterns
// ("*.jpg; * .jpeg") are dropped: a pattern cannot hold one, and the stored
// strings have stray ones that must not hide the files they name.
std::vector<FileTypeFilter> ParseFileFilter(const QString& filter);

// Icons and type names from the entry's name: nothing is opened or read, so
// a FIFO, a device or /proc/kmsg cannot block the listing. A folder is
// "文件夹"; a file takes the description of the first filter that names it,
// else "<EXT> 文件", or "文件" without an extension. Called from the
// model's gatherer thread too, so it only reads what the constructor built.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
 public:
  explicit NameOnlyIconProvider(const std::vector<FileTypeFilter>& filters);
  QIcon icon(IconType type) const override;
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;

 private:
  struct Kind {
    QString name;
    std::vector<QRegularExpression> patterns;
  };
  std::vector<Kind> m_kinds;
  QIcon m_folder, m_file, m_drive;
};

// Sizes ("2 KB"), dates and column titles in Chinese: the file system
// model formats them in the machine's locale.
class ChineseFileColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

// Shown in "N KB" as the detail view of the program's home platform does:
// whole kilobytes, rounded up.
QString KilobyteText(qint64 bytes);

// A dialog whose layout fixes its size larger than the screen gets its
// contents in a scroll area, its buttons kept below in sight, so that it
// can shrink to the screen when shown.
void ScrollWhenLargerThan(QDialog& dialog, const QSize& room);

}  // namespace plat
