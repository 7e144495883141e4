#pragma once

#include <QObject>

#include <functional>
#include <QString>

#include "view/RecentFiles.h"

class QWidget;

namespace kelvan::nc {
struct DecodedText;
}
namespace kelvan::editor {
class NcEditor;
}
namespace kelvan::workbench {
class Workbench;
}

namespace kelvan::view {

class UserDialogs;

// The file commands of the main window: opening (the workbench takes the file in),
// inserting, saving with backups and the list of recent files. The file name lives in the
// workbench. Commands refused while a program executes are refused by the window before
// they get here.
class DocumentController : public QObject {
  Q_OBJECT
 public:
  DocumentController(QWidget* window, workbench::Workbench& bench, editor::NcEditor& edit,
                     editor::NcEditor& work, UserDialogs& dialogs);

  const QString& FileName() const;
  RecentFiles& History() { return history_; }
  // The folder the open and save dialogs should start in ("Folda").
  void SetFolder(const QString& folder) { folder_ = folder; }
  // Where the dialogs do start: the "Folda" folder where it exists (its default names a
  // Windows folder), else the current file's folder, else the folder last used, else the
  // user's home.
  QString DialogFolder() const;
  // Whether a save first keeps the old file as ".bak" (read at each save).
  void SetBackupQuery(std::function<bool()> makeBackup) { makeBackup_ = std::move(makeBackup); }

  // The window's title for the current document.
  QString Title() const;

  // Loads a file as the document (open, drop, recent file, command line). False when it
  // could not be read; the document is then unchanged and the user was told.
  bool Load(const QString& path);
  // Loads a file's program as a new document that has no name yet and is modified (a
  // program made by another window): saving asks for a name, closing asks to save.
  bool LoadUntitled(const QString& path);
  // The commands of the File menu. Each returns whether the document changed.
  bool Open();
  bool OpenRecent(int index);
  bool Drop(const QString& path);
  bool Insert();
  // Saves; false when the user cancelled or the save failed (then the modified flag stays).
  bool Save();
  bool SaveAs();
  // Asks to save a modified document before the window closes: false keeps it open.
  bool QueryClose();

  // "現在のファイルは変更されていますが、保存しますか": asked before another file replaces a
  // modified document. Yes saves it (with its backup); the new file is loaded either way.
  void PromptSaveBeforeReplace();

  // The ".bak" path of a file: its extension replaced by ".bak".
  static QString BackupPath(const QString& path);

 signals:
  void Loaded();          // a new document is in the editor, analysed and drawn
  void Inserted();        // a file was inserted into the document
  void TitleChanged(const QString& title);
  void ChangeMarkChanged(const QString& text);  // status panel 1
  void HistoryChanged();

 private:
  bool ReadFile(const QString& path, nc::DecodedText& text);
  bool WriteTo(const QString& path);
  bool MakeBackup(const QString& path);
  void AddHistory(const QString& path);
  void RememberFolder(const QString& path);

  QWidget* window_;
  workbench::Workbench& bench_;
  editor::NcEditor& edit_;
  editor::NcEditor& work_;
  UserDialogs& dialogs_;
  QString folder_;
  QString lastFolder_;  // of the file last opened, inserted or saved
  RecentFiles history_;
  std::function<bool()> makeBackup_ = [] { return true; };
};

}  // namespace kelvan::view
