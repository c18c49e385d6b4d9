// The panel of the Rotate View mode.
#pragma once

#include "app/view_panel.h"

namespace modra {

class CFormViewer : public ViewPanel {
  Q_OBJECT
 public:
  explicit CFormViewer(GuiDocument& document, QWidget* parent = nullptr)
      : ViewPanel(document, Fields::kRotation, QStringLiteral("Rotate View"), parent) {
    setObjectName(QStringLiteral("CFormViewer"));
  }
};

}  // namespace modra
