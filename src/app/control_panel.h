// The left column of the main window: the panel of the current edit mode.
// A panel loads its fields from the core in refresh(), which the main
// window calls on the core's change notices, and hands the user's edits
// to the core's commands; it never refreshes itself.
#pragma once

#include <QWidget>

class QVBoxLayout;

namespace modra {

class GuiDocument;

class ControlPanel : public QWidget {
  Q_OBJECT
 public:
  ControlPanel(GuiDocument& document, const QString& title, QWidget* parent = nullptr);

  // Loads every field from the document and the panel values.
  virtual void refresh() = 0;

 protected:
  GuiDocument& document_;
  QVBoxLayout* layout_;
};

}  // namespace modra
