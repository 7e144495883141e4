#include "search/SearchHistory.h"

#include <QComboBox>

#include "settings/TRegManager.h"

namespace kelvan::search {

QStringList HistoryFromSetting(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QStringList items = lines.split(QLatin1Char('\n'));
  items.removeAll(QString());
  return items;
}

QString HistoryToSetting(const QStringList& items) {
  QString text;
  for (const QString& item : items) text += item + QStringLiteral("\r\n");
  return text;
}

QStringList HistoryItems(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

void LoadHistory(QComboBox& box, const settings::TRegManager& reg, const settings::StringKey& key) {
  const QString text = box.currentText();
  box.clear();
  box.addItems(HistoryFromSetting(reg.ReadString(key)));
  box.setEditText(text);
}

void StoreHistory(QComboBox& box, settings::TRegManager& reg, const settings::StringKey& key) {
  const QString text = box.currentText();
  while (box.count() > kHistoryLength) box.removeItem(box.count() - 1);
  box.setEditText(text);
  reg.WriteString(key, HistoryToSetting(HistoryItems(box)));
}

void PushHistory(QComboBox& box, const QString& text) {
  if (text.isEmpty()) return;
  const int at = box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (at >= 0) box.removeItem(at);
  box.insertItem(0, text);
  box.setCurrentIndex(0);
  box.setEditText(text);
}

}  // namespace kelvan::search
