#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>

#include "settings/FontSetting.h"

class QSettings;

namespace kelvan::settings {

struct KeyDecl;

// The per-user settings store: $XDG_CONFIG_HOME/Morwen/KELVAN.ini with the groups
// "Config", "History" and "Find". Every value is kept as text so that the file reads like
// the registry branch it stands for; the Read and Write operations encode and decode the
// value types. Key names (and group names) are matched ignoring letter case, as the
// registry does, although the INI file itself is case-sensitive.
//
// Only declared keys (SettingsKeys.cpp) may be used. A key missing from the store reads as
// its declared default; an undeclared key is our own bug: it asserts in debug builds and
// otherwise reads as "" and is not written.
class TRegManager {
 public:
  TRegManager();                                // the user's store
  explicit TRegManager(const QString& iniPath);  // a store in a file of one's choosing
  ~TRegManager();
  TRegManager(const TRegManager&) = delete;
  TRegManager& operator=(const TRegManager&) = delete;

  QString FileName() const;

  QString ReadString(QStringView key) const;
  int ReadInteger(QStringView key) const;   // a text that is not an integer reads as 0
  bool ReadBool(QStringView key) const;     // an integer that is not 0; other texts false
  QString ReadDecimal(QStringView key) const;  // the text as typed
  double ReadDecimal(QStringView key, double fallback) const;  // `fallback` for no number
  // Each of the five values that is stored replaces that property of `font`; the others
  // stay as they were. A size that is not an integer keeps the old size; a style or
  // character set that is not an integer becomes 0.
  void ReadFont(QStringView key, FontSetting& font) const;
  QStringList ReadStrings(QStringView key) const;

  void WriteString(QStringView key, const QString& value);
  void WriteInteger(QStringView key, int value);
  void WriteBool(QStringView key, bool value);
  void WriteDecimal(QStringView key, const QString& typed);
  void WriteFont(QStringView key, const FontSetting& font);
  // Item values beyond the new list are deleted; an empty list leaves no value at all.
  void WriteStrings(QStringView key, const QStringList& items);

  // Writes pending changes to the file (also done when the store is destroyed and, with
  // an event loop running, shortly after each change). False when the file can't be
  // written.
  bool Sync();

 private:
  class GroupKeys;

  const KeyDecl* Declared(QStringView key) const;
  QString GroupOf(const KeyDecl& decl) const;
  std::optional<QString> Stored(const GroupKeys& keys, const QString& valueName) const;
  std::optional<QString> Stored(const KeyDecl& decl, const QString& valueName) const;
  void Store(const KeyDecl& decl, const QString& valueName, const QString& text);
  void Store(const GroupKeys& keys, const QString& valueName, const QString& text);
  void Remove(const GroupKeys& keys, const QString& valueName);

  std::unique_ptr<QSettings> settings_;
};

}  // namespace kelvan::settings
