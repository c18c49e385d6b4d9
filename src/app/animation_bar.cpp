#include "app/animation_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "anim/key_commands.h"
#include "app/gui_document.h"

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
  prevKey_->setObjectName(QStringLiteral("AnimationBar_PrevKey"));
  stop_->setObjectName(QStringLiteral("AnimationBar_Stop"));
  play_->setObjectName(QStringLiteral("AnimationBar_Play"));
  nextKey_->setObjectName(QStringLiteral("AnimationBar_NextKey"));
  row->addWidget(new QLabel(QStringLiteral("Name:"), strip));
  row->addWidget(name_);
  for (QPushButton* b : {prevKey_, stop_, play_, nextKey_})
    row->addWidget(b);
  row->addWidget(new QLabel(QStringLiteral("Frame:"), strip));
  row->addWidget(frame_);
  addWidget(strip);

  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const QString shown = document_.nameBoxEdited(text);
    if (!shown.isNull()) Show(name_, shown);
  });
  connect(frame_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const QString shown = document_.frameBoxEdited(text);
    if (!shown.isNull()) Show(frame_, shown);
  });
  connect(prevKey_, &QPushButton::clicked, this, [this] {
    GoToPreviousKeyFrame(document_.doc());
    document_.notify(kFrameChanged | kValuesChanged);
  });
  connect(nextKey_, &QPushButton::clicked, this, [this] {
    GoToNextKeyFrame(document_.doc());
    document_.notify(kFrameChanged | kValuesChanged);
  });
  connect(play_, &QPushButton::clicked, this, &AnimationBar::playClicked);
  connect(stop_, &QPushButton::clicked, this, &AnimationBar::stopClicked);
  refresh();
}

void AnimationBar::refresh() {
  if (!name_->hasFocus()) Show(name_, document_.groupNameText());
  const QString frame = QString::number(document_.shownFrame());
  // The box being typed into keeps "0012" or "" while it means the frame.
  if (!frame_->hasFocus() || frame_->text().toInt() != document_.shownFrame()) Show(frame_, frame);
  const bool playing = document_.doc().scene.anim.playing;
  play_->setEnabled(!playing);
  stop_->setEnabled(playing);
}

}  // namespace modra
