#pragma once
// A seeded user for the soak suite: random actions on the shown main frame
// (tool buttons, menu entries, shortcuts, drags on the charts, the diagram,
// the parameter panel, the windows and every dialog and message box they
// open), each reproducible from the seed alone. Every file it writes or
// reads lies in one folder.

#include <QList>
#include <QString>

#include <cstdint>
#include <deque>

class QDialog;
class QWidget;
class TMainForm;
class TRChart;

// splitmix64: the same numbers from a seed on every platform and library.
class SoakRandom {
public:
  explicit SoakRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next()
  {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (0 when n < 1).
  int below(int n) { return n < 1 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  // [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
  std::uint64_t state_;
};

class SoakDriver {
public:
  // Answers every message box, modal dialog, colour and file choice of the
  // program from now on; files go to folder.
  SoakDriver(TMainForm& frame, std::uint64_t seed, const QString& folder);
  ~SoakDriver();
  SoakDriver(const SoakDriver&) = delete;
  SoakDriver& operator=(const SoakDriver&) = delete;

  // Runs action number index, chosen from the seed.
  void step(int index);
  // The last actions with what they met, oldest first, one a line.
  QString history() const;
  // While quiet every question is declined and every dialog cancelled,
  // without a draw from the seed (the checks between actions).
  void setQuiet(bool on) { quiet_ = on; }
  // Adds a note to the current action's line.
  void note(const QString& text);

  // A text a user might type: numbers good, huge, tiny and broken, loop
  // texts, 0, 79 and more than 80 characters, garbage.
  QString randomText();

private:
  using Action = void (SoakDriver::*)();
  struct Entry {
    const char* name;
    int weight;
    Action run;
  };
  static const Entry kActions[];

  void toolButton();
  void menuEntry();
  void shortcut();
  void dragChart();
  void windowOp();
  void pokeTopLevel();
  void frameField();
  void diagramClick();
  void undoRedo();
  void writeFile();
  void closeFrame();

  int answerModal(QDialog& dlg);
  // One random change of a field (edit, check box, radio, combo, tab,
  // slider) among the visible ones inside root.
  void fillField(QWidget& root);
  void typeInto(class QLineEdit& edit, const QString& text);
  // Presses the button named name (or the box's role) when there is one.
  bool press(QWidget& root, const char* name);
  QString chooseFile(bool mustExist);
  void settle();

  TMainForm& frame_;
  SoakRandom rng_;
  QString folder_;
  int depth_ = 0;
  bool quiet_ = false;
  std::deque<QString> log_;
};
