#include "view/HelpWindow.h"

#include <QDir>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "view/Resources.h"

namespace kelvan::view {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("Kelvan ヘルプ"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  browser_->setOpenLinks(true);
  browser_->setSearchPaths({HelpFolder()});
  resize(720, 560);
}

QString HelpWindow::HelpFolder() { return ResourcePath(QStringLiteral("help")); }

void HelpWindow::ShowPage(const QString& page) {
  browser_->setSource(QUrl::fromLocalFile(QDir(HelpFolder()).filePath(page)));
  show();
  raise();
  activateWindow();
}

void HelpWindow::ShowContents() { ShowPage(QStringLiteral("index.html")); }

void HelpWindow::ShowIndex() { ShowPage(QStringLiteral("keyword.html")); }

}  // namespace kelvan::view
