// The left column of the main window: the panel of the current edit mode.
// A panel loads its fields from the document in refresh() and hands the
// user's edits to the core; the view's drags reach it through Adjust().
#pragma once

#include <QWidget>

#include "view/interaction.h"

class QVBoxLayout;

namespace modra {

class GuiDocument;

class ControlPanel : public QWidget, public AdjustTarget {
  Q_OBJECT
 public:
  ControlPanel(GuiDocument& document, const QString& title, QWidget* parent = nullptr);

  // Loads every field from the document (after picks, frame changes,
  // edits and on entering the mode).
  virtual void refresh() = 0;
  // A drag of the view in this panel's mode (own mode) or borrowed
  // through a modifier key. Panels that edit nothing yet ignore it.
  void Adjust(float, float, float, bool) override {}
  // The interaction model asks after a pick or a change of view.
  void Refresh() override { refresh(); }

 protected:
  GuiDocument& document_;
  QVBoxLayout* layout_;
};

// Reads a typed number the way every panel does: an unparsable field
// counts as 0.
float ReadField(const QString& text);
QString FormatField(float value, int decimals = 3);

}  // namespace modra
