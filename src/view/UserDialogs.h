#pragma once

#include <QMessageBox>
#include <QString>

class QFont;
class QWidget;

namespace kelvan::view {

// Message boxes, the one-line input box and the file dialogs, behind one small interface
// so that tests can answer them. The windows ask through the instance they were given.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // A message box; returns the button pressed.
  virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons) = 0;
  // The one-line input box; false when cancelled.
  virtual bool InputText(QWidget* parent, const QString& caption, const QString& prompt,
                         QString& text) = 0;
  // File dialogs; an empty result means cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& initial, const QString& filter) = 0;
  // The roughing dialog (TRaph3DDlg) with the three texts; they come back as typed. False
  // when cancelled.
  virtual bool RoughParameters(QWidget* parent, QString& start, QString& end, QString& step) = 0;
  // The folder picker, starting in `start`, where new folders may be made; empty when
  // cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& start) = 0;
  // The font dialog with fixed-pitch fonts only, starting at `font`; false when cancelled.
  virtual bool ChooseFont(QWidget* parent, QFont& font) = 0;
};

// The real boxes.
class QtUserDialogs : public UserDialogs {
 public:
  QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                      const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons buttons) override;
  bool InputText(QWidget* parent, const QString& caption, const QString& prompt,
                 QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& initial, const QString& filter) override;
  bool RoughParameters(QWidget* parent, QString& start, QString& end, QString& step) override;
  QString ChooseFolder(QWidget* parent, const QString& start) override;
  bool ChooseFont(QWidget* parent, QFont& font) override;
};

}  // namespace kelvan::view
