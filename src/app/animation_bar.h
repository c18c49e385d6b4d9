// The animation bar: the current group's name, the key frame buttons and
// the frame number. It shows what the document says and hands what the
// user types to it.
#pragma once

#include <QToolBar>

class QLineEdit;
class QPushButton;

namespace modra {

class GuiDocument;
class TimeSlider;

class AnimationBar : public QToolBar {
  Q_OBJECT
 public:
  explicit AnimationBar(GuiDocument& document, QWidget* parent = nullptr);

  // Rewrites the boxes from the document (never while the user's own edit
  // is being handled) and enables Play or Stop.
  void refresh();

 signals:
  void playClicked();
  void stopClicked();

 private:
  GuiDocument& document_;
  QLineEdit* name_;
  QLineEdit* frame_;
  QPushButton* prevKey_;
  QPushButton* stop_;
  QPushButton* play_;
  QPushButton* nextKey_;
  TimeSlider* time_;
  int shownGroup_ = -1;  // the group whose name the box shows
};

}  // namespace modra
