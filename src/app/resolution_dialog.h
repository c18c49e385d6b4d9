// "Modify Resolution": up to four resolutions of the current primitive,
// each with its label and held to its range while typed. It takes and
// returns plain values; the Create panel applies them.
#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QSpinBox;

namespace modra {

class ResolutionDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kPairs = 4;
  struct Values {
    int count = 0;  // the pairs in use; the others are hidden
    std::array<QString, kPairs> labels;
    std::array<int, kPairs> values{};
    std::array<int, kPairs> min{};
    std::array<int, kPairs> max{};
  };

  explicit ResolutionDialog(QWidget* parent = nullptr);
  void setValues(const Values& values);
  // The values as typed, with count, labels and ranges as given.
  Values values() const;

 private:
  Values given_;
  std::array<QLabel*, kPairs> labels_{};
  std::array<QSpinBox*, kPairs> edits_{};
};

}  // namespace modra
