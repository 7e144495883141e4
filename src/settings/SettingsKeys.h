#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace kelvan::settings {

enum class KeyType { String, Integer, Boolean, Decimal, Font, StringList };

// One declared key. Every key the program reads or writes is declared exactly once, in
// SettingsKeys.cpp; a key missing from the store reads as its default text.
struct KeyDecl {
  QString name;
  QString section;      // "Config", "History" or "Find"
  QString defaultText;  // fonts and lists have none: their defaults are the caller's
  KeyType type = KeyType::String;
};

inline constexpr int ProfileCount = 4;
inline constexpr int CommandCount = 7;

// The declaration of `name`, compared ignoring letter case; nullptr for an undeclared key.
const KeyDecl* FindKeyDecl(QStringView name);

// Every declared key in declaration order.
const std::vector<KeyDecl>& AllKeyDecls();

// The key of field `base` of machine profile n (1..4): "XFlow", 3 -> "XFlow3".
QString ProfileKey(QStringView base, int n);

// The key of user command n (1..7): "Command1" .. "Command7".
QString CommandKey(int n);

}  // namespace kelvan::settings
