// The panel of the Translate View mode.
#pragma once

#include "app/view_panel.h"

namespace modra {

class CFormViewerTrans : public ViewPanel {
  Q_OBJECT
 public:
  explicit CFormViewerTrans(GuiDocument& document, QWidget* parent = nullptr)
      : ViewPanel(document, Fields::kTranslation, QStringLiteral("Translate View"), parent) {
    setObjectName(QStringLiteral("CFormViewerTrans"));
  }
};

}  // namespace modra
