#include "settings/TRegManager.h"

#include <QHash>
#include <QSettings>

#include <algorithm>

#include "settings/SettingsKeys.h"
#include "settings/ValueText.h"

namespace kelvan::settings {

namespace {

const QString kCountSuffix = QStringLiteral("_ItemCount");
const QString kItemSuffix = QStringLiteral("_Item");

// A hand-edited "a, b" comes back from QSettings as a list; the registry would have kept
// the text, so join it again.
QString TextOf(const QVariant& v) {
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
  return v.toString();
}

// The index n of a value named key + "_Item" + n, or -1 for any other value name.
int ItemIndex(const QString& valueName, const QString& listKey) {
  const QString prefix = listKey + kItemSuffix;
  if (!valueName.startsWith(prefix, Qt::CaseInsensitive)) return -1;
  const QStringView digits = QStringView(valueName).mid(prefix.size());
  if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(),
                                       [](QChar c) { return c >= u'0' && c <= u'9'; }))
    return -1;
  bool ok = false;
  const int n = digits.toInt(&ok);
  return ok ? n : -1;
}

}  // namespace

// The value names stored in one group, found ignoring letter case. A hand-edited file may
// hold one name in several spellings; the exact spelling is preferred, else the first.
class TRegManager::GroupKeys {
 public:
  GroupKeys(QSettings& settings, const QString& group) : group_(group) {
    settings.beginGroup(group);
    names_ = settings.childKeys();
    settings.endGroup();
    for (const QString& n : names_) byFolded_[n.toCaseFolded()].append(n);
  }

  const QString& Group() const { return group_; }
  const QStringList& Names() const { return names_; }

  QStringList Spellings(const QString& name) const { return byFolded_.value(name.toCaseFolded()); }

  std::optional<QString> Find(const QString& name) const {
    const QStringList s = Spellings(name);
    if (s.isEmpty()) return std::nullopt;
    return s.contains(name) ? name : s.first();
  }

 private:
  QString group_;
  QStringList names_;
  QHash<QString, QStringList> byFolded_;
};

TRegManager::TRegManager()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Morwen"), QStringLiteral("KELVAN"))) {
  // Only the user's own file counts: no organisation-wide or system-wide values.
  settings_->setFallbacksEnabled(false);
}

TRegManager::TRegManager(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {
  settings_->setFallbacksEnabled(false);
}

TRegManager::~TRegManager() = default;

QString TRegManager::FileName() const { return settings_->fileName(); }

bool TRegManager::Sync() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

const KeyDecl* TRegManager::Declared(QStringView key) const {
  const KeyDecl* decl = FindKeyDecl(key);
  Q_ASSERT_X(decl, "TRegManager", "settings key is not declared in SettingsKeys.cpp");
  return decl;
}

QString TRegManager::GroupOf(const KeyDecl& decl) const {
  const QStringList groups = settings_->childGroups();
  if (groups.contains(decl.section)) return decl.section;
  for (const QString& g : groups)
    if (g.compare(decl.section, Qt::CaseInsensitive) == 0) return g;
  return decl.section;
}

std::optional<QString> TRegManager::Stored(const GroupKeys& keys, const QString& valueName) const {
  const std::optional<QString> name = keys.Find(valueName);
  if (!name) return std::nullopt;
  return TextOf(settings_->value(keys.Group() + u'/' + *name));
}

std::optional<QString> TRegManager::Stored(const KeyDecl& decl, const QString& valueName) const {
  return Stored(GroupKeys(*settings_, GroupOf(decl)), valueName);
}

void TRegManager::Store(const KeyDecl& decl, const QString& valueName, const QString& text) {
  Store(GroupKeys(*settings_, GroupOf(decl)), valueName, text);
}

void TRegManager::Store(const GroupKeys& keys, const QString& valueName, const QString& text) {
  const QString name = keys.Find(valueName).value_or(valueName);
  // Other spellings of the same name would shadow or contradict the one written.
  for (const QString& other : keys.Spellings(valueName))
    if (other != name) settings_->remove(keys.Group() + u'/' + other);
  settings_->setValue(keys.Group() + u'/' + name, text);
}

void TRegManager::Remove(const GroupKeys& keys, const QString& valueName) {
  for (const QString& s : keys.Spellings(valueName)) settings_->remove(keys.Group() + u'/' + s);
}

QString TRegManager::ReadString(QStringView key) const {
  const KeyDecl* decl = Declared(key);
  if (!decl) return QString();
  return Stored(*decl, decl->name).value_or(decl->defaultText);
}

int TRegManager::ReadInteger(QStringView key) const {
  return ParseInteger(ReadString(key)).value_or(0);
}

bool TRegManager::ReadBool(QStringView key) const {
  const KeyDecl* decl = Declared(key);
  if (!decl) return false;
  const std::optional<QString> text = Stored(*decl, decl->name);
  return text ? StoredBoolIsTrue(*text) : DefaultBoolIsTrue(decl->defaultText);
}

QString TRegManager::ReadDecimal(QStringView key) const { return ReadString(key); }

double TRegManager::ReadDecimal(QStringView key, double fallback) const {
  return DecimalOr(ReadString(key), fallback);
}

void TRegManager::ReadFont(QStringView key, FontSetting& font) const {
  const KeyDecl* decl = Declared(key);
  if (!decl) return;
  Q_ASSERT(decl->type == KeyType::Font);
  const GroupKeys keys(*settings_, GroupOf(*decl));
  auto stored = [&](const char* suffix) {
    return Stored(keys, decl->name + QLatin1String(suffix));
  };
  if (auto v = stored("_FontName")) font.name = *v;
  if (auto v = stored("_FontSize")) font.size = ParseInteger(*v).value_or(font.size);
  if (auto v = stored("_FontColor")) font.color = *v;
  if (auto v = stored("_FontStyle")) font.style = ParseInteger(*v).value_or(0);
  if (auto v = stored("_FontCharset")) font.charset = ParseInteger(*v).value_or(0);
}

QStringList TRegManager::ReadStrings(QStringView key) const {
  const KeyDecl* decl = Declared(key);
  if (!decl) return {};
  Q_ASSERT(decl->type == KeyType::StringList);
  const GroupKeys keys(*settings_, GroupOf(*decl));
  int count = ParseInteger(Stored(keys, decl->name + kCountSuffix).value_or(QString())).value_or(0);
  // A damaged count can't ask for more items than the group holds values; without this
  // bound a hand-edited count of two billion would exhaust memory.
  count = std::clamp(count, 0, static_cast<int>(keys.Names().size()));
  QStringList items;
  items.reserve(count);
  for (int i = 0; i < count; ++i)
    items.append(Stored(keys, decl->name + kItemSuffix + QString::number(i)).value_or(QString()));
  return items;
}

void TRegManager::WriteString(QStringView key, const QString& value) {
  if (const KeyDecl* decl = Declared(key)) Store(*decl, decl->name, value);
}

void TRegManager::WriteInteger(QStringView key, int value) { WriteString(key, IntegerText(value)); }

void TRegManager::WriteBool(QStringView key, bool value) { WriteString(key, BoolText(value)); }

void TRegManager::WriteDecimal(QStringView key, const QString& typed) { WriteString(key, typed); }

void TRegManager::WriteFont(QStringView key, const FontSetting& font) {
  const KeyDecl* decl = Declared(key);
  if (!decl) return;
  Q_ASSERT(decl->type == KeyType::Font);
  const GroupKeys keys(*settings_, GroupOf(*decl));
  const QString& k = decl->name;
  Store(keys, k + QStringLiteral("_FontName"), font.name);
  Store(keys, k + QStringLiteral("_FontSize"), IntegerText(font.size));
  Store(keys, k + QStringLiteral("_FontColor"), font.color);
  Store(keys, k + QStringLiteral("_FontStyle"), IntegerText(font.style));
  Store(keys, k + QStringLiteral("_FontCharset"), IntegerText(font.charset));
}

void TRegManager::WriteStrings(QStringView key, const QStringList& items) {
  const KeyDecl* decl = Declared(key);
  if (!decl) return;
  Q_ASSERT(decl->type == KeyType::StringList);
  const GroupKeys keys(*settings_, GroupOf(*decl));
  // Every stored item at or past the new length goes, whatever the stored count says, so
  // that no stale item survives a count that was wrong.
  for (const QString& name : keys.Names()) {
    const int i = ItemIndex(name, decl->name);
    if (i >= static_cast<int>(items.size())) settings_->remove(keys.Group() + u'/' + name);
  }
  if (items.isEmpty()) {
    Remove(keys, decl->name + kCountSuffix);
    return;
  }
  // The names written below are not among those just removed, so `keys` still holds.
  Store(keys, decl->name + kCountSuffix, IntegerText(static_cast<int>(items.size())));
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    Store(keys, decl->name + kItemSuffix + QString::number(i), items[i]);
}

}  // namespace kelvan::settings
