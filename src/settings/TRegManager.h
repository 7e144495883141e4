#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>

#include "settings/FontSetting.h"
#include "settings/SettingsKeys.h"

class QSettings;

namespace kelvan::settings {

// The per-user settings store: $XDG_CONFIG_HOME/Morwen/KELVAN.ini with the groups
// "Config", "History" and "Find". Every value is kept as text so that the file reads like
// the registry branch it stands for; the Read and Write operations encode and decode the
// value types. Key names (and group names) are matched ignoring letter case, as the
// registry does, although the INI file itself is case-sensitive.
//
// Keys are the typed constants of SettingsKeys.h. A key missing from the store reads as
// its default text.
class TRegManager {
 public:
  TRegManager();                                // the user's store
  explicit TRegManager(const QString& iniPath);  // a store in a file of one's choosing
  ~TRegManager();
  TRegManager(const TRegManager&) = delete;
  TRegManager& operator=(const TRegManager&) = delete;

  QString FileName() const;

  QString ReadString(const StringKey& key) const;
  int ReadInteger(const IntegerKey& key) const;   // a text that is not an integer reads as 0
  bool ReadBool(const BoolKey& key) const;        // an integer that is not 0; other texts false
  QString ReadDecimal(const DecimalKey& key) const;  // the text as typed
  double ReadDecimal(const DecimalKey& key, double fallback) const;  // `fallback` for no number
  // Each of the five values that is stored replaces that property of `font`; the others
  // stay as they were. A size that is not an integer keeps the old size; a style or
  // character set that is not an integer becomes 0.
  void ReadFont(const FontKey& key, FontSetting& font) const;
  QStringList ReadStrings(const StringListKey& key) const;
  // The stored text of a plain key (not a font or list), or its default text.
  template <KeyType T>
  QString ReadText(const Key<T>& key) const {
    static_assert(T != KeyType::Font && T != KeyType::StringList, "fonts and lists are several values");
    return Text(Ref(key));
  }

  void WriteString(const StringKey& key, const QString& value);
  void WriteInteger(const IntegerKey& key, int value);
  void WriteBool(const BoolKey& key, bool value);
  void WriteDecimal(const DecimalKey& key, const QString& typed);
  void WriteFont(const FontKey& key, const FontSetting& font);
  // Item values beyond the new list are deleted; an empty list leaves no value at all.
  void WriteStrings(const StringListKey& key, const QStringList& items);
  // Stores a text as it is, for a value kept as the user typed it; reading decodes it.
  template <KeyType T>
  void WriteText(const Key<T>& key, const QString& text) {
    static_assert(T != KeyType::Font && T != KeyType::StringList, "fonts and lists are several values");
    Store(Ref(key), text);
  }

  // Writes pending changes to the file (also done when the store is destroyed and, with
  // an event loop running, shortly after each change). False when the file can't be
  // written.
  bool Sync();

 private:
  class GroupKeys;

  // A key as the store looks it up: its value name, group and default text.
  struct KeyRef {
    QString name;
    Section section;
    QString defaultText;
  };
  template <KeyType T>
  static KeyRef Ref(const Key<T>& key) {
    return {KeyName(key), key.section,
            QString::fromUtf8(key.defaultText.data(), static_cast<qsizetype>(key.defaultText.size()))};
  }

  QString Text(const KeyRef& key) const;
  QString GroupOf(Section section) const;
  std::optional<QString> Stored(const GroupKeys& keys, const QString& valueName) const;
  std::optional<QString> Stored(const KeyRef& key) const;
  void Store(const KeyRef& key, const QString& text);
  void Store(const GroupKeys& keys, const QString& valueName, const QString& text);
  void Remove(const GroupKeys& keys, const QString& valueName);

  std::unique_ptr<QSettings> settings_;
};

}  // namespace kelvan::settings
