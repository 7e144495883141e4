#pragma once

#include <QString>
#include <QStringList>

#include "settings/SettingsKeys.h"

class QComboBox;

namespace kelvan::settings {
class TRegManager;
}

namespace kelvan::search {

// The drop-down histories of the search and replacement boxes. Each is stored as one
// string setting of the section "Find": the entries, newest first, each followed by CR LF.
inline constexpr int kHistoryLength = 10;  // entries kept when a dialog closes

QStringList HistoryFromSetting(const QString& text);
QString HistoryToSetting(const QStringList& items);

// Fills the box's list from the setting (the box's text stays as it is).
void LoadHistory(QComboBox& box, const settings::TRegManager& reg, const settings::StringKey& key);
// Keeps the first kHistoryLength entries and writes them to the setting.
void StoreHistory(QComboBox& box, settings::TRegManager& reg, const settings::StringKey& key);
// Puts text at the top of the list; an equal entry already there is removed first. The
// box keeps text as its text. An empty text is no entry.
void PushHistory(QComboBox& box, const QString& text);
QStringList HistoryItems(const QComboBox& box);

}  // namespace kelvan::search
