#pragma once

#include <QObject>
#include <QStringList>

namespace kelvan::settings {

class TRegManager;

// The settings that several windows read at each use from the settings dialog's controls
// rather than from the store. The dialog owns the one instance: it loads it at start-up,
// sets the members when OK is pressed and then emits Changed(). After Cancel the members
// keep what OK last put there; nothing of them reaches the store except through OK.
class LiveSettings : public QObject {
  Q_OBJECT

 public:
  explicit LiveSettings(QObject* parent = nullptr);

  int FloatPos = 1;        // index of the FloatPosCheck choice: decimals written back
  QStringList ErrorTags;   // error-avoidance words, one per line of the word editor
  bool MakeBack = true;    // keep a .bak copy when saving
  bool HoleDisp = false;   // draw hole diameters
  bool ShowG00 = true;     // draw rapid moves
  bool ShowArrow = true;   // arrows on Z rapid moves
  bool ShowPos = true;     // coordinates in the status bar

  // The number of decimals the conversion tools write back (2, 3, 4).
  int Decimals() const;

  // Takes the stored values and emits Changed().
  void Load(const TRegManager& reg);

 signals:
  void Changed();
};

}  // namespace kelvan::settings
