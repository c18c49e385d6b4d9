#include "app/animation_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

#include "app/gui_document.h"
#include "app/time_slider.h"

namespace modra {

namespace {

void Show(QLineEdit* box, const QString& text) {
  const QSignalBlocker blocker(box);
  if (box->text() != text) box->setText(text);
}

}  // namespace

AnimationBar::AnimationBar(GuiDocument& document, QWidget* parent)
    : QToolBar(QStringLiteral("Animation"), parent), document_(document) {
  setObjectName(QStringLiteral("AnimationBar"));
  auto* strip = new QWidget(this);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(4, 2, 4, 2);
  name_ = new QLineEdit(strip);
  name_->setObjectName(QStringLiteral("AnimationBar_Name"));
  name_->setMaxLength(99);
  name_->setMinimumWidth(160);
  frame_ = new QLineEdit(strip);
  frame_->setObjectName(QStringLiteral("AnimationBar_Frame"));
  frame_->setMaximumWidth(70);
  prevKey_ = new QPushButton(QStringLiteral("Prev Key"), strip);
  stop_ = new QPushButton(QStringLiteral("Stop"), strip);
  play_ = new QPushButton(QStringLiteral("Play"), strip);
  nextKey_ = new QPushButton(QStringLiteral("Next Key"), strip);
  time_ = new TimeSlider(strip);
  prevKey_->setObjectName(QStringLiteral("AnimationBar_PrevKey"));
  stop_->setObjectName(QStringLiteral("AnimationBar_Stop"));
  play_->setObjectName(QStringLiteral("AnimationBar_Play"));
  nextKey_->setObjectName(QStringLiteral("AnimationBar_NextKey"));
  row->addWidget(new QLabel(QStringLiteral("Name:"), strip));
  row->addWidget(name_);
  for (QPushButton* b : {prevKey_, stop_, play_, nextKey_})
    row->addWidget(b);
  row->addWidget(time_, 1);
  row->addWidget(new QLabel(QStringLiteral("Frame:"), strip));
  row->addWidget(frame_);
  addWidget(strip);

  // A name typed is one undo step, from its first key until the box is left.
  EditSession* session = &document_.session();
  connect(name_, &QLineEdit::textEdited, this, [session](const QString& text) {
    session->FieldEdited(CommandId::kRename, 0, text.toStdString(), false);
  });
  connect(name_, &QLineEdit::editingFinished, this, [this, session] {
    session->FieldEdited(CommandId::kRename, 0, name_->text().toStdString(), true);
  });
  connect(frame_, &QLineEdit::textEdited, this, [this](const QString& text) {
    document_.run(CommandId::kFrameBox, TextArgs(text.toStdString()));
  });
  // Scrubbing shows frames; it makes no undo step.
  connect(time_, &QSlider::valueChanged, this,
          [this](int frame) { document_.run(CommandId::kGoToFrame, frame); });
  connect(prevKey_, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kPreviousKeyFrame); });
  connect(nextKey_, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kNextKeyFrame); });
  connect(play_, &QPushButton::clicked, this, &AnimationBar::playClicked);
  connect(stop_, &QPushButton::clicked, this, &AnimationBar::stopClicked);
  refresh();
}

void AnimationBar::refresh() {
  // The name being typed stays while its group is current; another group,
  // or none, is shown at once.
  const Scene& s = document_.doc().scene;
  const int current = IsLiveGroup(s, s.selectedGroup) ? s.selectedGroup : -1;
  if (!name_->hasFocus() || current == -1 || current != shownGroup_) {
    Show(name_, document_.groupNameText());
    shownGroup_ = current;
  }
  const QString frame = QString::number(document_.shownFrame());
  // The box being typed into keeps "0012" or "" while it means the frame.
  if (!frame_->hasFocus() || frame_->text().toInt() != document_.shownFrame()) Show(frame_, frame);
  const KeyStore& anim = document_.doc().scene.anim;
  {
    const QSignalBlocker blocker(time_);
    time_->setRange(0, std::max({LastKeyFrame(anim), document_.shownFrame(), 1}));
    if (time_->value() != document_.shownFrame()) time_->setValue(document_.shownFrame());
  }
  time_->setKeyFrames(current == -1 ? std::vector<int>{} : OwnerKeyFrames(anim, current));
  const bool playing = anim.playing;
  play_->setEnabled(!playing);
  stop_->setEnabled(playing);
}

}  // namespace modra
