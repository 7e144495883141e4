#include "settings/TRegManager.h"

#include <QHash>
#include <QSettings>

#include <algorithm>

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

QString TRegManager::GroupOf(Section section) const {
  QString name;
  switch (section) {
    case Section::Config: name = QStringLiteral("Config"); break;
    case Section::History: name = QStringLiteral("History"); break;
    case Section::Find: name = QStringLiteral("Find"); break;
  }
  const QStringList groups = settings_->childGroups();
  if (groups.contains(name)) return name;
  for (const QString& g : groups)
    if (g.compare(name, Qt::CaseInsensitive) == 0) return g;
  return name;
}

std::optional<QString> TRegManager::Stored(const GroupKeys& keys, const QString& valueName) const {
  const std::optional<QString> name = keys.Find(valueName);
  if (!name) return std::nullopt;
  return TextOf(settings_->value(keys.Group() + u'/' + *name));
}

std::optional<QString> TRegManager::Stored(const KeyRef& key) const {
  return Stored(GroupKeys(*settings_, GroupOf(key.section)), key.name);
}

void TRegManager::Store(const KeyRef& key, const QString& text) {
  Store(GroupKeys(*settings_, GroupOf(key.section)), key.name, text);
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

QString TRegManager::Text(const KeyRef& key) const { return Stored(key).value_or(key.defaultText); }

QString TRegManager::ReadString(const StringKey& key) const { return Text(Ref(key)); }

int TRegManager::ReadInteger(const IntegerKey& key) const {
  return ParseInteger(Text(Ref(key))).value_or(0);
}

bool TRegManager::ReadBool(const BoolKey& key) const {
  const KeyRef ref = Ref(key);
  const std::optional<QString> text = Stored(ref);
  return text ? StoredBoolIsTrue(*text) : DefaultBoolIsTrue(ref.defaultText);
}

QString TRegManager::ReadDecimal(const DecimalKey& key) const { return Text(Ref(key)); }

double TRegManager::ReadDecimal(const DecimalKey& key, double fallback) const {
  return DecimalOr(Text(Ref(key)), fallback);
}

void TRegManager::ReadFont(const FontKey& key, FontSetting& font) const {
  const KeyRef ref = Ref(key);
  const GroupKeys keys(*settings_, GroupOf(ref.section));
  auto stored = [&](const char* suffix) { return Stored(keys, ref.name + QLatin1String(suffix)); };
  if (auto v = stored("_FontName")) font.name = *v;
  if (auto v = stored("_FontSize")) font.size = ParseInteger(*v).value_or(font.size);
  if (auto v = stored("_FontColor")) font.color = *v;
  if (auto v = stored("_FontStyle")) font.style = ParseInteger(*v).value_or(0);
  if (auto v = stored("_FontCharset")) font.charset = ParseInteger(*v).value_or(0);
}

QStringList TRegManager::ReadStrings(const StringListKey& key) const {
  const KeyRef ref = Ref(key);
  const GroupKeys keys(*settings_, GroupOf(ref.section));
  int count = ParseInteger(Stored(keys, ref.name + kCountSuffix).value_or(QString())).value_or(0);
  // A damaged count can't ask for more items than the group holds values; without this
  // bound a hand-edited count of two billion would exhaust memory.
  count = std::clamp(count, 0, static_cast<int>(keys.Names().size()));
  QStringList items;
  items.reserve(count);
  for (int i = 0; i < count; ++i)
    items.append(Stored(keys, ref.name + kItemSuffix + QString::number(i)).value_or(QString()));
  return items;
}

void TRegManager::WriteString(const StringKey& key, const QString& value) { Store(Ref(key), value); }

void TRegManager::WriteInteger(const IntegerKey& key, int value) { Store(Ref(key), IntegerText(value)); }

void TRegManager::WriteBool(const BoolKey& key, bool value) { Store(Ref(key), BoolText(value)); }

void TRegManager::WriteDecimal(const DecimalKey& key, const QString& typed) { Store(Ref(key), typed); }

void TRegManager::WriteFont(const FontKey& key, const FontSetting& font) {
  const KeyRef ref = Ref(key);
  const GroupKeys keys(*settings_, GroupOf(ref.section));
  const QString& k = ref.name;
  Store(keys, k + QStringLiteral("_FontName"), font.name);
  Store(keys, k + QStringLiteral("_FontSize"), IntegerText(font.size));
  Store(keys, k + QStringLiteral("_FontColor"), font.color);
  Store(keys, k + QStringLiteral("_FontStyle"), IntegerText(font.style));
  Store(keys, k + QStringLiteral("_FontCharset"), IntegerText(font.charset));
}

void TRegManager::WriteStrings(const StringListKey& key, const QStringList& items) {
  const KeyRef ref = Ref(key);
  const GroupKeys keys(*settings_, GroupOf(ref.section));
  // Every stored item at or past the new length goes, whatever the stored count says, so
  // that no stale item survives a count that was wrong.
  for (const QString& name : keys.Names()) {
    const int i = ItemIndex(name, ref.name);
    if (i >= static_cast<int>(items.size())) settings_->remove(keys.Group() + u'/' + name);
  }
  if (items.isEmpty()) {
    Remove(keys, ref.name + kCountSuffix);
    return;
  }
  // The names written below are not among those just removed, so `keys` still holds.
  Store(keys, ref.name + kCountSuffix, IntegerText(static_cast<int>(items.size())));
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    Store(keys, ref.name + kItemSuffix + QString::number(i), items[i]);
}

}  // namespace kelvan::settings
