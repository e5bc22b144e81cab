// The application object, its message loop and the application-wide input
// hooks: accelerators, focus tracking and the idle command-state updates.
#include "platform/app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageReader>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>

#include "platform/fonts_qt.h"
#include "platform/wnd_widget_qt.h"
#include "platform/x11_qt.h"

namespace {

// Qt wants a private runtime folder; without one it warns on every start.
void EnsureRuntimeDir() {
  const char* set = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (set && *set && ::stat(set, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
      (st.st_mode & 0777) == 0700)
    return;
  std::string dir = "/tmp/pointer-runtime-" + std::to_string(::getuid());
  if (::mkdir(dir.c_str(), 0700) != 0) {
    // It may exist already; use it only if it is ours, a real folder and private.
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
      std::string tmpl = "/tmp/pointer-runtime-XXXXXX";
      if (!::mkdtemp(tmpl.data())) return;
      dir = tmpl;
    } else if ((st.st_mode & 0777) != 0700) {
      ::chmod(dir.c_str(), 0700);
    }
  }
  ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

// Idle command-state updates: after input or a command, once the loop is
// about to wait, at most every kIdleGapMs.
constexpr int kIdleGapMs = 30;
bool g_busy = false;
bool g_inIdle = false;
QElapsedTimer g_sinceIdle;
QTimer* g_idleTimer = nullptr;

void RunIdleIfDue() {
  if (!g_busy || g_inIdle) return;
  if (g_sinceIdle.isValid() && g_sinceIdle.elapsed() < kIdleGapMs) {
    if (!g_idleTimer->isActive()) g_idleTimer->start(int(kIdleGapMs - g_sinceIdle.elapsed()));
    return;
  }
  g_inIdle = true;
  g_busy = false;
  CWnd::RunIdleUpdates();
  g_sinceIdle.start();
  g_inIdle = false;
}

// A dialog about to appear is kept wholly on its screen: on a small screen
// one larger than the screen is shrunk to it (its layout squeezes) and moved
// inside. Other windows are placed by the program itself.
void FitOnScreen(QWidget* w) {
  if (!w->isWindow()) return;
  const auto* own = dynamic_cast<plat::WndWidget*>(w);
  if (!qobject_cast<QDialog*>(w) && !(own && own->m_keepOnScreen)) return;
  const QRect avail = plat::ScreenOf(w)->availableGeometry();
  QRect g = w->geometry();
  if (g.width() > avail.width() || g.height() > avail.height()) {
    // An explicit minimum (never 0) keeps the layout from raising it again.
    w->setMinimumSize(std::clamp(w->minimumWidth(), 1, avail.width()),
                      std::clamp(w->minimumHeight(), 1, avail.height()));
    w->resize(std::min(g.width(), avail.width()), std::min(g.height(), avail.height()));
    g = w->geometry();
  }
  const int x = std::clamp(g.x(), avail.left(), avail.right() + 1 - g.width());
  const int y = std::clamp(g.y(), avail.top(), avail.bottom() + 1 - g.height());
  if (QPoint(x, y) != g.topLeft()) w->move(x, y);
}

class AppFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* obj, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
        plat::MarkUiBusy();
        if (plat::TranslateAccelerator(static_cast<QKeyEvent*>(e))) return true;
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Hide:
        plat::MarkUiBusy();
        break;
      case QEvent::Show:
        plat::MarkUiBusy();
        if (obj->isWidgetType()) FitOnScreen(static_cast<QWidget*>(obj));
        break;
      case QEvent::FocusOut:
        if (obj->isWidgetType()) plat::NoteFocusLost(static_cast<QWidget*>(obj));
        break;
      default:
        break;
    }
    return false;
  }
};

// The program's texts are Chinese in code page 936; Qt's own dialogs (file,
// colour, message boxes) speak the same language: zh_CN is that code page's
// locale, whatever the machine's.
void InstallTranslations(QApplication* app) {
  const QLocale chinese(QLocale::Chinese, QLocale::China);
  QLocale::setDefault(chinese);
  auto* qt = new QTranslator(app);
  if (qt->load(chinese, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app->installTranslator(qt);
}

}  // namespace

namespace plat {

void MarkUiBusy() { g_busy = true; }

void InitApplication(int& argc, char** argv) {
  if (QCoreApplication::instance()) return;
  // Qt scales bars and dialogs as the desktop asks (Xft.dpi, QT_SCALE_FACTOR);
  // the program itself works in device pixels, converted where widgets meet it.
  EnsureRuntimeDir();
  // A write past a file-size limit then fails (EFBIG) and is reported
  // instead of ending the program with the teacher's drawing.
  std::signal(SIGXFSZ, SIG_IGN);
  auto* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
  InstallFontSubstitutions();  // "宋体" and the other Windows faces
  InstallTranslations(app);
  // Pictures are bounded by their own decoders (2^26 pixels); Qt's default
  // of 128 MB would refuse to draw the larger ones they accept.
  QImageReader::setAllocationLimit(1024);
  app->installEventFilter(new AppFilter(app));
  plat::x11::TrackPointerPositions();
  g_idleTimer = new QTimer(app);
  g_idleTimer->setSingleShot(true);
  QObject::connect(g_idleTimer, &QTimer::timeout, app, [] { RunIdleIfDue(); });
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, app, [] { RunIdleIfDue(); });
}

int RunMessageLoop() { return QCoreApplication::instance() ? QApplication::exec() : -1; }

void QuitMessageLoop(int code) {
  if (QCoreApplication::instance()) QCoreApplication::exit(code);
}

void ProcessEvents(int maxMs) {
  if (!QCoreApplication::instance()) return;
  if (maxMs <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace plat
