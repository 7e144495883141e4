#include "settings/OptionValues.h"

#include "settings/LiveSettings.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"
#include "settings/ValueText.h"

namespace kelvan::settings {

namespace {

QString Decimal(int value) { return IntegerText(value); }

int IntegerOr(const QString& text, int fallback) { return ParseInteger(text).value_or(fallback); }

}  // namespace

OptionValues OptionValues::Load(const TRegManager& reg) {
  OptionValues v;
  v.Folda = reg.ReadString(keys::Folda);
  v.BufSize = Decimal(reg.ReadInteger(keys::BufSize));
  v.AtcHight = reg.ReadDecimal(keys::AtcHight);
  v.BlockSkip = reg.ReadBool(keys::BlockSkip);
  v.MakeBack = reg.ReadBool(keys::MakeBack);
  v.FloatPos = reg.ReadInteger(keys::FloatPos);

  v.GridSize = reg.ReadDecimal(keys::GridSize);
  v.ScaleFac = reg.ReadDecimal(keys::ScaleFac);
  v.MaxWindow = reg.ReadBool(keys::MaxWindow);
  v.HoleDisp = reg.ReadBool(keys::HoleDisp);
  v.ShowG00 = reg.ReadBool(keys::ShowG00);
  v.ScrollBar = reg.ReadBool(keys::ScrollBar);
  v.ShowPos = reg.ReadBool(keys::ShowPos);
  v.ShowUnderLine = reg.ReadBool(keys::ShowUnderLine);
  v.ScrollNext = reg.ReadString(keys::ScrollNext);
  v.ShowArrow = reg.ReadBool(keys::ShowArrow);
  reg.ReadFont(keys::Font, v.Font);

  v.ErrorTag = reg.ReadStrings(keys::ErrorTag);

  v.MarginTop = Decimal(reg.ReadInteger(keys::MarginTop));
  v.MarginBottom = Decimal(reg.ReadInteger(keys::MarginBottom));
  v.MarginLeft = Decimal(reg.ReadInteger(keys::MarginLeft));
  v.MarginRight = Decimal(reg.ReadInteger(keys::MarginRight));
  v.Header = reg.ReadString(keys::Header);
  v.Footer = reg.ReadString(keys::Footer);
  v.EconoPrint = reg.ReadBool(keys::EconoPrint);
  v.EconoPrintRow = Decimal(reg.ReadInteger(keys::EconoPrintRow));
  v.EconoPrintCol = Decimal(reg.ReadInteger(keys::EconoPrintCol));
  reg.ReadFont(keys::PrintFont, v.PrintFont);

  for (int n = 1; n <= ProfileCount; ++n) {
    ProfileValues& p = v.Profiles[size_t(n - 1)];
    p.Machin = reg.ReadString(keys::Machin(n));
    p.CommPort = reg.ReadInteger(keys::CommPort(n));
    p.BaudRate = reg.ReadInteger(keys::BaudRate(n));
    p.ByteSize = reg.ReadInteger(keys::ByteSize(n));
    p.StopBits = reg.ReadInteger(keys::StopBits(n));
    p.Parity = reg.ReadInteger(keys::Parity(n));
    p.XFlow = reg.ReadInteger(keys::XFlow(n));
    p.NcCode = reg.ReadInteger(keys::NcCode(n));
    p.OutMode = reg.ReadInteger(keys::OutMode(n));
    p.FeedLen = Decimal(reg.ReadInteger(keys::FeedLen(n)));
    p.DC2DC4 = reg.ReadBool(keys::DC2DC4(n));
    p.EOB = reg.ReadInteger(keys::EOB(n));
    p.Standby = reg.ReadBool(keys::Standby(n));
    p.TimeOut = Decimal(reg.ReadInteger(keys::TimeOut(n)));
    v.ComDevices[size_t(n - 1)] = reg.ReadString(keys::ComDevice(n));
  }
  for (int n = 1; n <= CommandCount; ++n) v.Commands[size_t(n - 1)] = reg.ReadString(keys::Command(n));
  return v;
}

std::optional<IntegerField> OptionValues::FirstNonInteger() const {
  using K = IntegerField::Kind;
  auto bad = [](const QString& text) { return !ParseInteger(text).has_value(); };
  const std::pair<K, const QString*> print[] = {
      {K::MarginTop, &MarginTop},         {K::MarginBottom, &MarginBottom},
      {K::MarginLeft, &MarginLeft},       {K::MarginRight, &MarginRight},
      {K::EconoPrintRow, &EconoPrintRow}, {K::EconoPrintCol, &EconoPrintCol}};
  for (const auto& [kind, text] : print)
    if (bad(*text)) return IntegerField{kind, 0, *text};
  for (int n = 1; n <= ProfileCount; ++n) {
    const ProfileValues& p = Profiles[size_t(n - 1)];
    if (bad(p.FeedLen)) return IntegerField{K::FeedLen, n, p.FeedLen};
    if (bad(p.TimeOut)) return IntegerField{K::TimeOut, n, p.TimeOut};
  }
  return std::nullopt;
}

bool OptionValues::Save(TRegManager& reg) const {
  if (FirstNonInteger()) return false;

  reg.WriteString(keys::Folda, Folda);
  reg.WriteInteger(keys::BufSize, IntegerOr(BufSize, kBufSizeFallback));
  reg.WriteDecimal(keys::AtcHight, AtcHight);
  reg.WriteBool(keys::BlockSkip, BlockSkip);
  reg.WriteBool(keys::MakeBack, MakeBack);
  reg.WriteInteger(keys::FloatPos, FloatPos);
  reg.WriteDecimal(keys::GridSize, GridSize);
  reg.WriteDecimal(keys::ScaleFac, ScaleFac);
  reg.WriteBool(keys::MaxWindow, MaxWindow);
  reg.WriteBool(keys::HoleDisp, HoleDisp);
  reg.WriteBool(keys::ShowG00, ShowG00);
  reg.WriteBool(keys::ScrollBar, ScrollBar);
  reg.WriteBool(keys::ShowPos, ShowPos);
  reg.WriteBool(keys::ShowUnderLine, ShowUnderLine);
  reg.WriteString(keys::ScrollNext, ScrollNext);
  reg.WriteBool(keys::ShowArrow, ShowArrow);

  reg.WriteFont(keys::Font, Font);
  reg.WriteStrings(keys::ErrorTag, ErrorTag);

  // FirstNonInteger vouched for every strict field, so the fallbacks below never apply.
  reg.WriteInteger(keys::MarginTop, IntegerOr(MarginTop, 0));
  reg.WriteInteger(keys::MarginBottom, IntegerOr(MarginBottom, 0));
  reg.WriteInteger(keys::MarginLeft, IntegerOr(MarginLeft, 0));
  reg.WriteInteger(keys::MarginRight, IntegerOr(MarginRight, 0));
  reg.WriteString(keys::Header, Header);
  reg.WriteString(keys::Footer, Footer);
  reg.WriteBool(keys::EconoPrint, EconoPrint);
  reg.WriteInteger(keys::EconoPrintRow, IntegerOr(EconoPrintRow, 0));
  reg.WriteInteger(keys::EconoPrintCol, IntegerOr(EconoPrintCol, 0));
  reg.WriteFont(keys::PrintFont, PrintFont);

  for (int n = 1; n <= ProfileCount; ++n) {
    const ProfileValues& p = Profiles[size_t(n - 1)];
    reg.WriteString(keys::Machin(n), p.Machin);
    reg.WriteInteger(keys::CommPort(n), p.CommPort);
    reg.WriteInteger(keys::BaudRate(n), p.BaudRate);
    reg.WriteInteger(keys::ByteSize(n), p.ByteSize);
    reg.WriteInteger(keys::StopBits(n), p.StopBits);
    reg.WriteInteger(keys::Parity(n), p.Parity);
    reg.WriteInteger(keys::XFlow(n), p.XFlow);
    reg.WriteInteger(keys::NcCode(n), p.NcCode);
    reg.WriteInteger(keys::OutMode(n), p.OutMode);
    reg.WriteInteger(keys::FeedLen(n), IntegerOr(p.FeedLen, 0));
    reg.WriteBool(keys::DC2DC4(n), p.DC2DC4);
    reg.WriteInteger(keys::EOB(n), p.EOB);
    reg.WriteBool(keys::Standby(n), p.Standby);
    reg.WriteInteger(keys::TimeOut(n), IntegerOr(p.TimeOut, 0));
  }
  for (int n = 1; n <= ProfileCount; ++n) reg.WriteString(keys::ComDevice(n), ComDevices[size_t(n - 1)]);

  for (int n = 1; n <= CommandCount; ++n) reg.WriteString(keys::Command(n), Commands[size_t(n - 1)]);
  return true;
}

PrintSettings OptionValues::PageSettings() const {
  PrintSettings p;
  p.MarginTop = IntegerOr(MarginTop, 0);
  p.MarginBottom = IntegerOr(MarginBottom, 0);
  p.MarginLeft = IntegerOr(MarginLeft, 0);
  p.MarginRight = IntegerOr(MarginRight, 0);
  p.Header = Header;
  p.Footer = Footer;
  return p;
}

QStringList OptionValues::CommandNames() const { return QStringList(Commands.begin(), Commands.end()); }

void OptionValues::ApplyTo(LiveSettings& live) const {
  live.FloatPos = StartSettings::FloatPosFromStored(FloatPos);
  live.ErrorTags = ErrorTag;
  live.MakeBack = MakeBack;
  live.HoleDisp = HoleDisp;
  live.ShowG00 = ShowG00;
  live.ShowArrow = ShowArrow;
  live.ShowPos = ShowPos;
  emit live.Changed();
}

}  // namespace kelvan::settings
