// The panel of the Translate View mode.
#pragma once

#include "app/view_panel.h"

namespace modra {

class CFormViewerTrans : public ViewPanel {
  Q_OBJECT
 public:
  CFormViewerTrans(GuiDocument& document, ViewInteraction& interaction, QWidget* parent = nullptr)
      : ViewPanel(document, interaction, Fields::kTranslation, QStringLiteral("Translate View"),
                  parent) {
    setObjectName(QStringLiteral("CFormViewerTrans"));
  }
};

}  // namespace modra
