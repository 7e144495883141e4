#include "view/DocumentController.h"

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>

#include "editor/NcEditor.h"
#include "nc/Cp932.h"
#include "nc/DecodedText.h"
#include "view/Beep.h"
#include "view/NcFileDialog.h"
#include "view/UserDialogs.h"
#include "view/WaitCursor.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

namespace {

const QString kCaption = QStringLiteral("Kelvan");

}  // namespace

DocumentController::DocumentController(QWidget* window, workbench::Workbench& bench, editor::NcEditor& edit,
                                       editor::NcEditor& work, UserDialogs& dialogs)
    : window_(window), bench_(bench), edit_(edit), work_(work), dialogs_(dialogs) {}

const QString& DocumentController::FileName() const { return bench_.FileName(); }

QString DocumentController::Title() const {
  const QString& name = FileName();
  return name.isEmpty() ? kCaption : kCaption + QStringLiteral("[") + name + QStringLiteral("]");
}

QString DocumentController::BackupPath(const QString& path) {
  const QFileInfo info(path);
  const QString suffix = info.suffix();
  const QString base = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
  return base + QStringLiteral(".bak");
}

QString DocumentController::DialogFolder() const {
  if (!folder_.isEmpty() && QFileInfo(folder_).isDir()) return folder_;
  if (!FileName().isEmpty()) {
    const QString dir = QFileInfo(FileName()).absolutePath();
    if (QFileInfo(dir).isDir()) return dir;
  }
  if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) return lastFolder_;
  return QDir::homePath();
}

void DocumentController::RememberFolder(const QString& path) { lastFolder_ = QFileInfo(path).absolutePath(); }

void DocumentController::AddHistory(const QString& path) {
  history_.Add(path);
  emit HistoryChanged();
}

bool DocumentController::ReadFile(const QString& path, nc::DecodedText& text) {
  std::string error;
  bool read = false;
  {
    WaitCursor wait;
    read = nc::ReadDecodedText(QFile::encodeName(path).toStdString(), text, error);
  }
  if (!read)
    dialogs_.Message(window_, QMessageBox::Critical, kCaption, QString::fromLocal8Bit(error.c_str()),
                     QMessageBox::Ok);
  return read;
}

bool DocumentController::LoadUntitled(const QString& path) {
  nc::DecodedText text;
  if (!ReadFile(path, text)) return false;
  {
    WaitCursor wait;
    bench_.SetFileName(QString());
    bench_.Load(text);
  }
  emit TitleChanged(Title());
  edit_.SetModified(true);
  emit Loaded();
  emit ChangeMarkChanged(QStringLiteral("変更有り"));
  return true;
}

bool DocumentController::Load(const QString& path) {
  nc::DecodedText text;
  if (!ReadFile(path, text)) return false;
  {
    WaitCursor wait;
    bench_.SetFileName(QFileInfo(path).absoluteFilePath());
    bench_.Load(text);
  }
  RememberFolder(path);
  emit TitleChanged(Title());
  AddHistory(FileName());
  edit_.SetModified(false);
  emit Loaded();
  emit ChangeMarkChanged(QString());
  return true;
}

void DocumentController::PromptSaveBeforeReplace() {
  if (!edit_.IsModified()) return;
  Beep();
  const auto answer = dialogs_.Message(window_, QMessageBox::Question, kCaption,
                                       QStringLiteral("現在のファイルは変更されていますが、保存しますか"),
                                       QMessageBox::Yes | QMessageBox::No);
  if (answer == QMessageBox::Yes) Save();
}

bool DocumentController::Open() {
  PromptSaveBeforeReplace();
  const QString path = dialogs_.OpenFileName(window_, DialogFolder(), NcFileDialog::OpenFilter());
  if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
  return Load(path);
}

bool DocumentController::OpenRecent(int index) {
  if (index < 0 || index >= history_.Items().size()) return false;
  const QString path = history_.Items()[index];
  if (!QFileInfo(path).isFile()) {
    Beep();
    dialogs_.Message(window_, QMessageBox::Critical, kCaption,
                     QStringLiteral("指定のファイルは存在しません。"), QMessageBox::Ok);
    return false;
  }
  PromptSaveBeforeReplace();
  return Load(path);
}

bool DocumentController::Drop(const QString& path) {
  PromptSaveBeforeReplace();
  return Load(path);
}

bool DocumentController::Insert() {
  const QString path = dialogs_.OpenFileName(window_, DialogFolder(), NcFileDialog::OpenFilter());
  if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
  RememberFolder(path);
  QString error;
  if (!work_.LoadFile(path, error)) {
    dialogs_.Message(window_, QMessageBox::Critical, kCaption, error, QMessageBox::Ok);
    return false;
  }
  QString text = work_.Text();
  if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')))
    text += QStringLiteral("\r\n");  // the inserted program ends before the caret's line
  edit_.InsertText(edit_.CaretRow(), text);
  edit_.SetModified(true);
  emit ChangeMarkChanged(QStringLiteral("変更有り"));
  emit Inserted();
  return true;
}

bool DocumentController::MakeBackup(const QString& path) {
  if (!makeBackup_() || !QFileInfo(path).isFile()) return true;
  const QString backup = BackupPath(path);
  if (QFileInfo(backup).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) return true;
  // The old file is copied, not moved: the save then replaces the program in one rename,
  // so a failed save leaves both the program and its backup in place.
  if (QFileInfo::exists(backup) && !QFile::remove(backup)) return false;
  return QFile::copy(path, backup);
}

bool DocumentController::WriteTo(const QString& path) {
  bool lossy = false;
  const QByteArray utf8 = edit_.Text().toUtf8();
  nc::EncodeFromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                     edit_.Encoding(), &lossy);
  if (lossy &&
      dialogs_.Message(window_, QMessageBox::Warning, kCaption,
                       QStringLiteral("Shift-JIS で表せない文字があります。それらの文字は「?」として"
                                      "保存されます。保存しますか。"),
                       QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return false;
  }
  WaitCursor wait;
  if (!MakeBackup(path)) {
    dialogs_.Message(window_, QMessageBox::Critical, kCaption,
                     QStringLiteral("バックアップファイルを作成できません。保存を中止しました。\n") +
                         BackupPath(path),
                     QMessageBox::Ok);
    return false;
  }
  QString error;
  if (!edit_.SaveFile(path, error)) {
    dialogs_.Message(window_, QMessageBox::Critical, kCaption,
                     QStringLiteral("保存できませんでした。\n") + error, QMessageBox::Ok);
    return false;
  }
  edit_.SetModified(false);
  emit ChangeMarkChanged(QString());
  return true;
}

bool DocumentController::Save() {
  // A document that has no name yet is saved under one.
  if (FileName().isEmpty()) return SaveAs();
  return WriteTo(FileName());
}

bool DocumentController::SaveAs() {
  // A named document offers its own name; a new one only the folder, never a folder as
  // the file's name.
  QString path = dialogs_.SaveFileName(window_, FileName().isEmpty() ? DialogFolder() : FileName(),
                                       NcFileDialog::SaveFilter());
  if (path.isEmpty()) return false;
  path = QFileInfo(path).absoluteFilePath();
  if (QFileInfo::exists(path) &&
      dialogs_.Message(window_, QMessageBox::Question, kCaption, path + QStringLiteral(" 上書きしますか。"),
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return false;
  }
  if (!WriteTo(path)) return false;
  bench_.SetFileName(path);
  RememberFolder(path);
  emit TitleChanged(Title());
  return true;
}

bool DocumentController::QueryClose() {
  if (!edit_.IsModified()) return true;
  const auto answer = dialogs_.Message(window_, QMessageBox::Question, kCaption,
                                       QStringLiteral("変更内容を保存しますか。"),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) return Save();  // a failed save keeps the window open
  return true;
}

}  // namespace kelvan::view
