#include "view/UserDialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>

#include "tools/ui/TRaph3DDlg.h"
#include "view/NcFileDialog.h"

namespace kelvan::view {

QMessageBox::StandardButton QtUserDialogs::Message(QWidget* parent, QMessageBox::Icon icon,
                                                   const QString& caption, const QString& text,
                                                   QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool QtUserDialogs::InputText(QWidget* parent, const QString& caption, const QString& prompt,
                              QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
  if (ok) text = answer;
  return ok;
}

QString QtUserDialogs::OpenFileName(QWidget* parent, const QString& folder, const QString& filter) {
  return NcFileDialog::Open(parent, folder, filter);
}

QString QtUserDialogs::SaveFileName(QWidget* parent, const QString& initial, const QString& filter) {
  return NcFileDialog::Save(parent, initial, filter);
}

bool QtUserDialogs::RoughParameters(QWidget* parent, QString& start, QString& end, QString& step) {
  tools::TRaph3DDlg dialog(parent);
  return dialog.Ask(start, end, step);
}

QString QtUserDialogs::ChooseFolder(QWidget* parent, const QString& start) {
  // The toolkit's own dialog, which offers a button for a new folder.
  return QFileDialog::getExistingDirectory(parent, QString(), start,
                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

bool QtUserDialogs::ChooseFont(QWidget* parent, QFont& font) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font, parent, QString(), QFontDialog::MonospacedFonts);
  if (ok) font = chosen;
  return ok;
}

}  // namespace kelvan::view
