#pragma once

#include <Qsci/qscilexerpascal.h>

namespace kelvan::script {

// The colouring of the script editor: Pascal comments ("{ }", "(* *)", "//"), strings,
// numbers, and the script words of the input support list as keywords (any case).
class TPascalFountain : public QsciLexerPascal {
  Q_OBJECT
 public:
  explicit TPascalFountain(QObject* parent = nullptr);
  const char* keywords(int set) const override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
};

}  // namespace kelvan::script
