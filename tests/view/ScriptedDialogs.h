#pragma once
// The message boxes, input box and file dialogs of the windows' tests.

#include <QFont>
#include <QStringList>

#include <deque>

#include "view/UserDialogs.h"

namespace kelvan::test {

// Answers the boxes from queues and records what was asked.
class ScriptedDialogs : public view::UserDialogs {
 public:
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<QString> files;
  std::deque<QString> inputs;
  QStringList asked;

  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                      QMessageBox::StandardButtons) override {
    asked << text;
    if (answers.empty()) return QMessageBox::Cancel;
    const auto a = answers.front();
    answers.pop_front();
    return a;
  }
  bool InputText(QWidget*, const QString&, const QString& prompt, QString& text) override {
    asked << prompt;
    if (inputs.empty()) return false;
    text = inputs.front();
    inputs.pop_front();
    return true;
  }
  QStringList startedIn;  // the folder or file each file dialog was given
  QString OpenFileName(QWidget*, const QString& folder, const QString&) override {
    startedIn << folder;
    return Next();
  }
  QString SaveFileName(QWidget*, const QString& initial, const QString&) override {
    startedIn << initial;
    return Next();
  }
  std::deque<QStringList> rough;  // start, end, step as typed
  QStringList roughOffered;       // what the roughing dialog was filled with, last time
  bool RoughParameters(QWidget*, QString& start, QString& end, QString& step) override {
    roughOffered = {start, end, step};
    if (rough.empty()) return false;
    start = rough.front().value(0);
    end = rough.front().value(1);
    step = rough.front().value(2);
    rough.pop_front();
    return true;
  }
  std::deque<QString> folders;   // the folder picker's answers; none: cancelled
  std::deque<QFont> fonts;        // the font dialog's answers; none: cancelled
  QList<QFont> fontsOffered;      // the font each font dialog started at
  QString ChooseFolder(QWidget*, const QString& start) override {
    startedIn << start;
    if (folders.empty()) return {};
    const QString f = folders.front();
    folders.pop_front();
    return f;
  }
  bool ChooseFont(QWidget*, QFont& font) override {
    fontsOffered << font;
    if (fonts.empty()) return false;
    font = fonts.front();
    fonts.pop_front();
    return true;
  }

 private:
  QString Next() {
    if (files.empty()) return {};
    const QString f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace kelvan::test
