#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "platform/codepage.h"
#include "platform/services.h"
#include "platform/wnd.h"

namespace {
std::string g_appTitle;

QString FromGbk(const std::string& gbk) { return QString::fromStdString(plat::Utf8FromGbk(gbk)); }

// Ctrl+C copies the caption and the text, as a Windows message box does,
// so that a path or reason can be passed on. A box without a Cancel button
// cannot be dismissed but by one of its buttons: Esc and closing the window
// do nothing.
class BoxKeysFilter : public QObject {
 public:
  BoxKeysFilter(QMessageBox* box, bool noEscape) : QObject(box), m_box(box), m_noEscape(noEscape) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Close && m_noEscape) {
      e->ignore();
      return true;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->matches(QKeySequence::Copy)) {
      if (e->type() == QEvent::KeyPress)
        QGuiApplication::clipboard()->setText(m_box->windowTitle() + "\n" + m_box->text());
      e->accept();
      return true;
    }
    return m_noEscape && key->key() == Qt::Key_Escape;
  }

 private:
  QMessageBox* m_box;
  bool m_noEscape;
};
}  // namespace

namespace plat {

int Services::MessageBox(CWnd* owner, const std::string& gbkText, const std::string& gbkCaption,
                         UINT type) {
  QWidget* parent = owner && owner->IsCreated() ? owner->GetWidget() : nullptr;
  QMessageBox box(parent);
  box.setWindowTitle(FromGbk(gbkCaption));
  box.setText(FromGbk(gbkText));
  box.setTextFormat(Qt::PlainText);
  switch (type & 0xF0) {
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    case 0x10:  // the stop sign
      box.setIcon(QMessageBox::Critical);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
  }

  struct Button {
    const char* label;
    QMessageBox::ButtonRole role;
    int id;
  };
  std::vector<Button> buttons;
  switch (type & 0xF) {
    case MB_OKCANCEL:
      buttons = {{"确定", QMessageBox::AcceptRole, IDOK},
                 {"取消", QMessageBox::RejectRole, IDCANCEL}};
      break;
    case MB_YESNOCANCEL:
      buttons = {{"是(&Y)", QMessageBox::YesRole, IDYES},
                 {"否(&N)", QMessageBox::NoRole, IDNO},
                 {"取消", QMessageBox::RejectRole, IDCANCEL}};
      break;
    case MB_YESNO:
      buttons = {{"是(&Y)", QMessageBox::YesRole, IDYES}, {"否(&N)", QMessageBox::NoRole, IDNO}};
      break;
    default:
      buttons = {{"确定", QMessageBox::AcceptRole, IDOK}};
  }
  std::vector<QPushButton*> pushButtons;
  for (const Button& b : buttons)
    pushButtons.push_back(box.addButton(QString::fromUtf8(b.label), b.role));
  box.setDefaultButton(pushButtons.front());

  // Esc answers Cancel, or OK in a box that has only OK; a Yes/No box has no
  // way out but its buttons.
  if (buttons.back().id == IDCANCEL) {
    box.setEscapeButton(pushButtons.back());
  } else if (buttons.size() == 1) {
    box.setEscapeButton(pushButtons.front());
  }
  box.installEventFilter(
      new BoxKeysFilter(&box, buttons.back().id != IDCANCEL && buttons.size() > 1));

  box.exec();
  for (std::size_t i = 0; i < pushButtons.size(); ++i) {
    if (box.clickedButton() == pushButtons[i]) return buttons[i].id;
  }
  // Closed without a button (the program is ending): the safe answer.
  return buttons.back().id;
}

}  // namespace plat

void SetAppTitle(const std::string& gbk) { g_appTitle = gbk; }

// Until the program names itself, the executable's name serves as the title.
const std::string& GetAppTitle() {
  if (g_appTitle.empty() && QCoreApplication::instance()) {
    g_appTitle = plat::GbkFromUtf8(QCoreApplication::applicationName().toStdString());
  }
  return g_appTitle;
}

int AfxMessageBox(const std::string& gbkText, UINT type) {
  return plat::GetServices().MessageBox(nullptr, gbkText, GetAppTitle(), type);
}

int MessageBoxOwned(CWnd* owner, const std::string& gbkText, const std::string& gbkCaption,
                    UINT type) {
  return plat::GetServices().MessageBox(owner, gbkText, gbkCaption, type);
}
