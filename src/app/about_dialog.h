// Help > About: the program's icon, a picture and its version.
#pragma once

#include <QDialog>

namespace modra {

inline constexpr char kVersionText[] = "Modra Version 1.12";

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace modra
