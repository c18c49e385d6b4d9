// The panel of the Texture mode: the Textured switch, the four mapping
// buttons, the texture list (ending in "Load Texture ...") and the mapping
// parameters of the selected groups. Edits go to the core's texture edits.
#pragma once

#include <array>

#include "app/control_panel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace modra {

class CFormTexture : public ControlPanel {
  Q_OBJECT
 public:
  explicit CFormTexture(GuiDocument& document, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void createGui();
  void bindEvents();
  void textureChosen(int row);
  // Asks for a picture; the one chosen is loaded and given to the
  // selected groups when the user picks it.
  void loadTexture();
  void refreshList();

  QCheckBox* enable_ = nullptr;
  std::array<QPushButton*, 4> mappings_{};  // planar, cylindrical, spherical, default
  QComboBox* textures_ = nullptr;
  // Rotate X, Y, Z, Translate X, Y, Z, Scale S, T.
  std::array<QLineEdit*, 8> fields_{};
};

}  // namespace modra
