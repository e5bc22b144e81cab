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

// Strict checking uses glibc's converter: it reports every invalid or
// truncated sequence, where a lenient decoder would turn some into private-use
// characters.
bool IsValidGbk(std::string_view gbk) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == iconv_t(-1)) return false;
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  bool ok = true;
  while (inLeft > 0) {
    char buffer[256];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == std::size_t(-1) && errno != E2BIG) {
      ok = false;  // EILSEQ: invalid sequence; EINVAL: truncated at the end
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace plat
