#include "script/ui/QtScriptUi.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>

#include "script/StndUnit.h"
#include "script/ui/TGuiDlg.h"
#include "view/Beep.h"
#include "view/UserDialogs.h"

namespace kelvan::script {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The arrow over the run's busy pointer while the user answers a box.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;
};

}  // namespace

QtScriptUi::QtScriptUi(view::UserDialogs& dialogs, TGuiDlg& guiDlg, QWidget* parent)
    : dialogs_(dialogs), guiDlg_(guiDlg), parent_(parent) {}

bool QtScriptUi::MessageBox(const std::string& text, bool okOnly) {
  ArrowWhileAsking arrow;
  const auto buttons = okOnly ? QMessageBox::StandardButtons(QMessageBox::Ok) : QMessageBox::Ok | QMessageBox::Cancel;
  return dialogs_.Message(parent_, QMessageBox::Information, QString::fromUtf8(kScriptBoxCaption), FromUtf8(text),
                          buttons) == QMessageBox::Ok;
}

bool QtScriptUi::InputBox(const std::string& prompt, std::string& text) {
  ArrowWhileAsking arrow;
  QString answer;
  if (!dialogs_.InputText(parent_, QString::fromUtf8(kScriptBoxCaption), FromUtf8(prompt), answer)) return false;
  text = answer.toStdString();
  return true;
}

void QtScriptUi::Beep() { view::Beep(); }

void QtScriptUi::ErrorBox(const std::string& text) {
  ArrowWhileAsking arrow;
  dialogs_.Message(parent_, QMessageBox::Critical, QStringLiteral(" Morwen System Message"), FromUtf8(text),
                   QMessageBox::Ok);
}

bool QtScriptUi::ShowDialog(GuiDlgModel& dialog) {
  ArrowWhileAsking arrow;
  return guiDlg_.ShowModel(dialog);
}

void QtScriptUi::CopyToClipboard(const std::string& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(FromUtf8(text));
}

bool QtScriptUi::FileExists(const std::string& path) { return QFileInfo(FromUtf8(path)).isFile(); }

}  // namespace kelvan::script
