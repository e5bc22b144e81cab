#include "platform/codepage.h"

#include <iconv.h>

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

namespace plat {

// GB18030 is a superset of GBK that is byte-identical on every GBK character
// and can encode every Unicode character, so text typed by the user is never
// lost on its way into the program's strings.
std::string GbkFromUtf8(std::string_view utf8) {
  QStringEncoder encoder("GB18030");
  const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
  return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::string Utf8FromGbk(std::string_view gbk) {
  QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
  const QString text = decoder.decode(QByteArrayView(gbk.data(), qsizetype(gbk.size())));
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), std::size_t(utf8.size()));
}

}  // namespace plat
