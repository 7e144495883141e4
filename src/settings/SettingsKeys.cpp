#include "settings/SettingsKeys.h"

#include <QHash>

namespace kelvan::settings {

namespace {

struct Plain {
  const char* name;
  KeyType type;
  const char* defaultText;  // UTF-8
};

// Keys of section "Config" that the settings dialog edits, and those the main window
// keeps there itself (ToolBar, Split).
constexpr Plain kConfig[] = {
    {"Folda", KeyType::String, "C:\\Halvorn\\Nc"},
    {"BufSize", KeyType::Integer, "1000000"},
    {"AtcHight", KeyType::Decimal, "500"},
    {"FloatPos", KeyType::Integer, "1"},
    {"BlockSkip", KeyType::Boolean, "0"},
    {"MakeBack", KeyType::Boolean, "1"},
    {"GridSize", KeyType::Decimal, "50"},
    {"ScaleFac", KeyType::Decimal, "2.0"},
    {"MaxWindow", KeyType::Boolean, "0"},
    {"HoleDisp", KeyType::Boolean, "0"},
    {"ShowG00", KeyType::Boolean, "1"},
    {"ScrollBar", KeyType::Boolean, "0"},
    {"ShowPos", KeyType::Boolean, "1"},
    {"ShowUnderLine", KeyType::Boolean, "0"},
    {"ScrollNext", KeyType::String, "5"},
    {"ShowArrow", KeyType::Boolean, "1"},
    {"Font", KeyType::Font, ""},
    {"ErrorTag", KeyType::StringList, ""},
    {"MarginTop", KeyType::Integer, "10"},
    {"MarginBottom", KeyType::Integer, "10"},
    {"MarginLeft", KeyType::Integer, "20"},
    {"MarginRight", KeyType::Integer, "10"},
    {"Header", KeyType::String, "%F"},
    {"Footer", KeyType::String, "%p"},
    {"EconoPrint", KeyType::Boolean, "0"},
    {"EconoPrintRow", KeyType::Integer, "80"},
    {"EconoPrintCol", KeyType::Integer, "45"},
    {"PrintFont", KeyType::Font, ""},
    {"ToolBar", KeyType::Integer, "0"},
    {"Split", KeyType::Integer, "300"},
};

// The fields of one machine profile; the key is the name followed by the profile digit.
// "Machin" has a default of its own per profile (kMachineNames).
constexpr Plain kProfile[] = {
    {"Machin", KeyType::String, nullptr},
    {"CommPort", KeyType::Integer, "0"},
    {"BaudRate", KeyType::Integer, "0"},
    {"ByteSize", KeyType::Integer, "0"},
    {"StopBits", KeyType::Integer, "0"},
    {"Parity", KeyType::Integer, "0"},
    {"XFlow", KeyType::Integer, "2"},
    {"NcCode", KeyType::Integer, "0"},
    {"OutMode", KeyType::Integer, "0"},
    {"FeedLen", KeyType::Integer, "0"},
    {"DC2DC4", KeyType::Boolean, "1"},
    {"EOB", KeyType::Integer, "1"},
    {"Standby", KeyType::Boolean, "1"},
    {"TimeOut", KeyType::Integer, "300"},
};

constexpr const char* kMachineNames[ProfileCount] = {"通信１", "通信２", "通信３", "通信４"};

constexpr const char* kFirstCommand = "シーケンス番号.PAS";

std::vector<KeyDecl> BuildDecls() {
  const QString config = QStringLiteral("Config");
  std::vector<KeyDecl> decls;
  for (const Plain& p : kConfig)
    decls.push_back(
        {QString::fromLatin1(p.name), config, QString::fromUtf8(p.defaultText), p.type});
  for (int n = 1; n <= ProfileCount; ++n) {
    for (const Plain& p : kProfile) {
      const char* def = p.defaultText ? p.defaultText : kMachineNames[n - 1];
      decls.push_back({ProfileKey(QString::fromLatin1(p.name), n), config,
                       QString::fromUtf8(def), p.type});
    }
  }
  for (int n = 1; n <= CommandCount; ++n)
    decls.push_back({CommandKey(n), config, n == 1 ? QString::fromUtf8(kFirstCommand) : QString(),
                     KeyType::String});
  decls.push_back({QStringLiteral("History"), QStringLiteral("History"), QString(),
                   KeyType::StringList});
  const QString find = QStringLiteral("Find");
  for (const char* name : {"Find", "Replace", "FindFind"})
    decls.push_back({QString::fromLatin1(name), find, QString(), KeyType::String});
  return decls;
}

QHash<QString, int> BuildIndex(const std::vector<KeyDecl>& decls) {
  QHash<QString, int> index;
  for (int i = 0; i < static_cast<int>(decls.size()); ++i) {
    const QString folded = decls[static_cast<size_t>(i)].name.toCaseFolded();
    Q_ASSERT_X(!index.contains(folded), "SettingsKeys", "key declared twice");
    index.insert(folded, i);
  }
  return index;
}

}  // namespace

const std::vector<KeyDecl>& AllKeyDecls() {
  static const std::vector<KeyDecl> decls = BuildDecls();
  return decls;
}

const KeyDecl* FindKeyDecl(QStringView name) {
  static const QHash<QString, int> index = BuildIndex(AllKeyDecls());
  const auto it = index.constFind(name.toString().toCaseFolded());
  return it == index.cend() ? nullptr : &AllKeyDecls()[static_cast<size_t>(*it)];
}

QString ProfileKey(QStringView base, int n) { return base.toString() + QString::number(n); }

QString CommandKey(int n) { return QStringLiteral("Command") + QString::number(n); }

}  // namespace kelvan::settings
