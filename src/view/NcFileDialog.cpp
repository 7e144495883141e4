#include "view/NcFileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPlainTextEdit>

#include "nc/Cp932.h"

namespace kelvan::view {

namespace {

constexpr int kPreviewBytes = 1024;
constexpr int kPreviewHeight = 100;

QString Run(QFileDialog& dialog) {
  // The preview strip: a read-only text box under the dialog's own controls.
  auto* preview = new QPlainTextEdit(&dialog);
  preview->setReadOnly(true);
  preview->setFixedHeight(kPreviewHeight);
  preview->setLineWrapMode(QPlainTextEdit::NoWrap);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(preview, grid->rowCount(), 0, 1, grid->columnCount());
  }
  QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
    preview->setPlainText(NcFileDialog::PreviewText(path));
  });
  dialog.resize(dialog.sizeHint().width(), dialog.sizeHint().height() + kPreviewHeight + 10);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

QString NcFileDialog::OpenFilter() {
  // Linux file names keep their case, so each pattern is offered in both.
  return QStringLiteral(
      "NCデータ(*.NC) (*.NC *.nc);;NCD (*.NCD *.ncd);;DAT (*.DAT *.dat);;NCT (*NCT *nct);;"
      "全てのファイル(*.*) (*)");
}

QString NcFileDialog::SaveFilter() {
  return QStringLiteral(
      "NCデータ(*.NC) (*.NC *.nc);;NCD (*.NCD *.ncd);;DAT (*.DAT *.dat);;NCT (*.NCT *.nct);;"
      "全てのファイル(*.*) (*)");
}

void NcFileDialog::SetStart(QFileDialog& dialog, const QString& initial, bool mayBeFile) {
  const QFileInfo info(initial);
  // Only an absolute path names a file: C:\Halvorn\Nc would otherwise be a file name in
  // the working folder.
  if (initial.isEmpty() || info.isDir() || !mayBeFile || info.isRelative()) {
    dialog.setDirectory(info.isDir() ? info.absoluteFilePath() : QDir::homePath());
    return;
  }
  // A file: its folder, and its name in the name box. A folder that does not exist is
  // not offered as a name either.
  const QFileInfo folder(info.absolutePath());
  dialog.setDirectory(folder.isDir() ? folder.absoluteFilePath() : QDir::homePath());
  if (folder.isDir()) dialog.selectFile(info.fileName());
}

QString NcFileDialog::Open(QWidget* parent, const QString& folder, const QString& filter) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  SetStart(dialog, folder, false);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(QStringLiteral("NC"));
  return Run(dialog);
}

QString NcFileDialog::Save(QWidget* parent, const QString& initial, const QString& filter) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The overwrite question is the window's own ("... 上書きしますか。").
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("NC"));
  SetStart(dialog, initial, true);
  return Run(dialog);
}

QString NcFileDialog::PreviewText(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray head = file.read(kPreviewBytes);
  const std::string_view bytes(head.constData(), static_cast<size_t>(head.size()));
  const std::string utf8 = nc::DecodeToUtf8(bytes, nc::DetectEncoding(bytes));
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace kelvan::view
