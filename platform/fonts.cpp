#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/fonts_qt.h"

namespace plat {
namespace {

enum class Kind { kSong, kHei, kMono };

struct WindowsFace {
  const char* name;  // UTF-8
  Kind kind;
};

// The faces a Chinese Windows desktop offers, and what stands in for them.
constexpr WindowsFace kWindowsFaces[] = {
    {"宋体", Kind::kSong},
    {"SimSun", Kind::kSong},
    {"新宋体", Kind::kSong},
    {"NSimSun", Kind::kSong},
    {"仿宋", Kind::kSong},
    {"仿宋_GB2312", Kind::kSong},
    {"FangSong", Kind::kSong},
    {"FangSong_GB2312", Kind::kSong},
    {"楷体", Kind::kSong},
    {"楷体_GB2312", Kind::kSong},
    {"KaiTi", Kind::kSong},
    {"KaiTi_GB2312", Kind::kSong},
    {"隶书", Kind::kSong},
    {"LiSu", Kind::kSong},
    {"Times New Roman", Kind::kSong},
    {"MS Serif", Kind::kSong},
    {"System", Kind::kSong},
    {"黑体", Kind::kHei},
    {"SimHei", Kind::kHei},
    {"微软雅黑", Kind::kHei},
    {"Microsoft YaHei", Kind::kHei},
    {"幼圆", Kind::kHei},
    {"YouYuan", Kind::kHei},
    {"Arial", Kind::kHei},
    {"Arial Black", Kind::kHei},
    {"Tahoma", Kind::kHei},
    {"Verdana", Kind::kHei},
    {"MS Sans Serif", Kind::kHei},
    {"Microsoft Sans Serif", Kind::kHei},
    {"Courier New", Kind::kMono},
    {"Courier", Kind::kMono},
    {"Fixedsys", Kind::kMono},
    {"Terminal", Kind::kMono},
    {"Lucida Console", Kind::kMono},
};

constexpr int kDefaultCell = 16;
constexpr int kMaxPixels = 1000;
constexpr std::size_t kCacheLimit = 256;

std::unordered_map<std::string, ResolvedFont>& Cache() {
  static std::unordered_map<std::string, ResolvedFont> cache;
  return cache;
}

QString InstalledFace(Kind kind) {
  static const char* const kSong[] = {"AR PL UMing CN", "AR PL UMing TW", "WenQuanYi Micro Hei"};
  static const char* const kHei[] = {"WenQuanYi Micro Hei", "AR PL UMing CN"};
  static const char* const kMono[] = {"WenQuanYi Micro Hei Mono", "WenQuanYi Micro Hei",
                                      "AR PL UMing CN"};
  const auto pick = [](const auto& list) {
    for (const char* face : list) {
      if (QFontDatabase::hasFamily(QString::fromLatin1(face))) return QString::fromLatin1(face);
    }
    return QString();
  };
  switch (kind) {
    case Kind::kSong:
      return pick(kSong);
    case Kind::kHei:
      return pick(kHei);
    case Kind::kMono:
      return pick(kMono);
  }
  return {};
}

QString DefaultFace() {
  const QString song = QString::fromUtf8("宋体");
  if (!QFont::substitutes(song).isEmpty()) return song;
  const QString installed = InstalledFace(Kind::kSong);
  return installed.isEmpty() ? song : installed;
}

int CellHeight(const QFont& font, int pixels) {
  QFont probe(font);
  probe.setPixelSize(pixels);
  const QFontMetrics m(probe);
  return m.ascent() + m.descent();
}

// The largest pixel size whose cell (ascent + descent) fits cell.
int PixelSizeForCell(const QFont& font, int cell) {
  QFont probe(font);
  probe.setPixelSize(100);
  const QFontMetricsF m(probe);
  const double ratio = m.ascent() + m.descent() > 0 ? (m.ascent() + m.descent()) / 100 : 1;
  int px = std::clamp(int(std::lround(cell / ratio)), 1, kMaxPixels);
  // Rounded metrics can differ by a pixel or two from the scaled ones.
  for (int i = 0; i < 4 && px > 1 && CellHeight(font, px) > cell; ++i) --px;
  for (int i = 0; i < 4 && px < kMaxPixels && CellHeight(font, px + 1) <= cell; ++i) ++px;
  return px;
}

std::string CacheKey(const LOGFONT& lf) {
  std::string key;
  key.reserve(48 + lf.lfFaceName.size());
  for (const long v : {long(lf.lfHeight), long(lf.lfWidth), long(lf.lfWeight)}) {
    key += std::to_string(v);
    key += ',';
  }
  key += char('0' + (lf.lfItalic != 0));
  key += char('0' + (lf.lfUnderline != 0));
  key += char('0' + (lf.lfStrikeOut != 0));
  key += lf.lfFaceName;
  return key;
}

ResolvedFont Build(const LOGFONT& lf) {
  QString face = TextFromGbk(lf.lfFaceName);
  if (face.isEmpty() || (!QFontDatabase::hasFamily(face) && QFont::substitutes(face).isEmpty())) {
    face = DefaultFace();
  }
  QFont font(face);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setKerning(false);
  font.setWeight(lf.lfWeight <= 0 ? QFont::Normal
                                  : QFont::Weight(std::clamp<LONG>(lf.lfWeight, 1, 1000)));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);

  const std::int64_t height = lf.lfHeight;  // 64-bit: -INT_MIN must not overflow
  if (height < 0) {
    font.setPixelSize(int(std::clamp<std::int64_t>(-height, 1, kMaxPixels)));
  } else {
    const int cell = height == 0 ? kDefaultCell : int(std::min<std::int64_t>(height, kMaxPixels));
    font.setPixelSize(PixelSizeForCell(font, cell));
  }
  if (lf.lfWidth != 0) {
    const std::int64_t width = std::clamp<std::int64_t>(
        lf.lfWidth < 0 ? -std::int64_t(lf.lfWidth) : lf.lfWidth, 1, kMaxPixels);
    const double natural = QFontMetricsF(font).horizontalAdvance(QLatin1Char('x'));
    if (natural > 0) font.setStretch(std::clamp(int(std::lround(100 * width / natural)), 1, 4000));
  }

  static std::uint64_t nextId = 1;
  ResolvedFont out;
  out.font = font;
  out.id = nextId++;
  const QFontMetrics m(font);
  out.ascent = m.ascent();
  out.descent = m.descent();
  out.aveCharWidth = m.horizontalAdvance(QLatin1Char('x'));
  out.maxCharWidth = m.maxWidth();
  return out;
}

}  // namespace

void InstallFontSubstitutions() {
  for (const WindowsFace& f : kWindowsFaces) {
    const QString name = QString::fromUtf8(f.name);
    const QString to = InstalledFace(f.kind);
    if (!to.isEmpty() && !QFont::substitutes(name).contains(to)) {
      QFont::insertSubstitution(name, to);
    }
  }
  Cache().clear();  // fonts resolved before now may name a fallback face
}

ResolvedFont ResolveFont(const LOGFONT& lf) {
  auto& cache = Cache();
  std::string key = CacheKey(lf);
  const auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  if (cache.size() >= kCacheLimit) cache.clear();
  return cache.emplace(std::move(key), Build(lf)).first->second;
}

QString TextFromGbk(std::string_view gbk) {
  // Stateful on purpose: a lead byte cut off at the end stays in the
  // decoder's state instead of becoming a replacement character.
  QStringDecoder decoder("GB18030");
  return decoder.decode(QByteArrayView(gbk.data(), qsizetype(gbk.size())));
}

namespace {

// Qt's own names for the desktop's generic faces: aliases, not installed faces.
bool IsGenericAlias(const QString& family) {
  return family == QLatin1String("Serif") || family == QLatin1String("Sans Serif") ||
         family == QLatin1String("Monospace");
}

struct Listed {
  std::string face;  // GBK
  DWORD type;
  std::vector<BYTE> charSets;
  bool vertical;
};

std::vector<Listed> ListedFaces() {
  using WS = QFontDatabase::WritingSystem;
  static const std::pair<WS, BYTE> kSets[] = {
      {QFontDatabase::Latin, ANSI_CHARSET},
      {QFontDatabase::Greek, GREEK_CHARSET},
      {QFontDatabase::Cyrillic, RUSSIAN_CHARSET},
      {QFontDatabase::SimplifiedChinese, GB2312_CHARSET},
      {QFontDatabase::TraditionalChinese, CHINESEBIG5_CHARSET},
      {QFontDatabase::Japanese, SHIFTJIS_CHARSET},
      {QFontDatabase::Korean, HANGUL_CHARSET},
  };
  std::vector<Listed> out;
  for (const QString& family : QFontDatabase::families()) {
    if (IsGenericAlias(family) || QFontDatabase::isPrivateFamily(family)) continue;
    const QList<WS> systems = QFontDatabase::writingSystems(family);
    Listed f{GbkFromUtf8(family.toStdString()),
             QFontDatabase::isSmoothlyScalable(family) ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE,
             {},
             false};
    // A symbol face is listed in the symbol set alone, as the platform does.
    if (systems.contains(QFontDatabase::Symbol)) {
      f.charSets.push_back(SYMBOL_CHARSET);
    } else {
      for (const auto& [ws, set] : kSets)
        if (systems.contains(ws)) f.charSets.push_back(set);
    }
    if (f.charSets.empty()) f.charSets.push_back(ANSI_CHARSET);
    f.vertical = systems.contains(QFontDatabase::SimplifiedChinese) ||
                 systems.contains(QFontDatabase::TraditionalChinese) ||
                 systems.contains(QFontDatabase::Japanese) ||
                 systems.contains(QFontDatabase::Korean);
    out.push_back(std::move(f));
  }
  // The Chinese names of the Windows faces, drawn by the faces that stand in.
  for (const WindowsFace& w : kWindowsFaces) {
    if (static_cast<unsigned char>(w.name[0]) < 0x80 || InstalledFace(w.kind).isEmpty()) continue;
    out.push_back(
        Listed{GbkFromUtf8(w.name), TRUETYPE_FONTTYPE, {ANSI_CHARSET, GB2312_CHARSET}, true});
  }
  return out;
}

}  // namespace

VisibleRun VisibleTextRun(const ResolvedFont& font, std::string_view gbk, std::int64_t x,
                          std::int64_t width, std::int64_t slack) {
  // Small enough that the pieces measured past the right edge cost little,
  // large enough that the per-call cost of a layout does not dominate.
  constexpr std::size_t kPiece = 64;
  const QFontMetrics metrics(font.font);
  QStringDecoder decoder("GB18030");  // carries a character cut between pieces
  VisibleRun run{{}, x};
  std::int64_t pen = x;
  for (std::size_t at = 0; at < gbk.size() && pen - slack < width; at += kPiece) {
    const std::size_t n = std::min(kPiece, gbk.size() - at);
    const QString piece = decoder.decode(QByteArrayView(gbk.data() + at, qsizetype(n)));
    pen += metrics.horizontalAdvance(piece);
    if (run.text.isEmpty() && pen + slack < 0) {
      run.x = pen;  // wholly left of the target
      continue;
    }
    run.text += piece;
  }
  return run;
}

}  // namespace plat

int EnumFontFamiliesEx(CDC*, const LOGFONT* lf, const FONTENUMPROC& proc, DWORD) {
  if (!proc) return 0;
  const std::string only = lf ? lf->lfFaceName : std::string();
  const BYTE set = lf ? lf->lfCharSet : DEFAULT_CHARSET;
  int result = 1;
  for (const plat::Listed& f : plat::ListedFaces()) {
    for (const bool vertical : {false, true}) {
      if (vertical && !f.vertical) continue;
      LOGFONT font;
      font.lfFaceName = vertical ? "@" + f.face : f.face;
      if (!only.empty() && font.lfFaceName != only) continue;
      for (const BYTE charSet : f.charSets) {
        if (set != DEFAULT_CHARSET && charSet != set) continue;
        font.lfCharSet = charSet;
        result = proc(font, f.type);
        if (result == 0) return 0;
      }
    }
  }
  return result;
}
