#include "app/key_range_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/gui_document.h"

namespace modra {

namespace {

struct DialogText {
  KeyRangeCommand command;
  const char* title;
  const char* name;
  const char* ownerPrompt;  // null: no owner choice
  const char* noteVerb;
  const char* rangeText;
  int frameCount;
};

constexpr DialogText kDialogs[] = {
    {KeyRangeCommand::kRemoveOwnerKeys, "Remove Key Frame Info", "RemoveKeyInfo",
     "PIck a Removal Method:", "Removed", nullptr, 0},
    {KeyRangeCommand::kCopyKeyToRange, "Copy Key Frame Info to Range", "CopyKeyToRange",
     "Copy Key Info of:", "copied", "to all keys in the range A to B.", 2},
    {KeyRangeCommand::kCopyRangeToRange, "Copy Key Frame Info Range to New Range",
     "CopyRangeToRange", nullptr, nullptr,
     "Copy all keys in the Range A,B to a new range starting at C", 3},
    {KeyRangeCommand::kScaleRange, "Scale Key Frame Info Range to New Range", "ScaleRange", nullptr,
     nullptr, "Scale all keys in the Range A,B to A,C", 3},
};

const DialogText& TextOf(KeyRangeCommand command) {
  for (const DialogText& d : kDialogs)
    if (d.command == command) return d;
  return kDialogs[0];
}

constexpr const char* kOwners[] = {"Currently Selected Objects", "Camera", "Light"};
constexpr const char* kFrameNames[] = {"A", "B", "C"};

}  // namespace

KeyRangeDialog::KeyRangeDialog(KeyRangeCommand command, int currentFrame, QWidget* parent)
    : QDialog(parent), command_(command) {
  const DialogText& text = TextOf(command);
  setObjectName(QStringLiteral("KeyRangeDialog_") + QLatin1String(text.name));
  setWindowTitle(QString::fromLatin1(text.title));
  auto* layout = new QVBoxLayout(this);
  if (text.ownerPrompt) createOwnerChoice(text.ownerPrompt, text.noteVerb);
  if (text.rangeText) createFrameFields(text.rangeText, text.frameCount, currentFrame);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("KeyRangeDialog_Ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("KeyRangeDialog_Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void KeyRangeDialog::createOwnerChoice(const char* prompt, const char* noteVerb) {
  auto* box = new QGroupBox(QString::fromLatin1(prompt), this);
  auto* column = new QVBoxLayout(box);
  owner_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(kOwners[i]), box);
    radio->setObjectName(QStringLiteral("KeyRangeDialog_Owner%1").arg(i));
    owner_->addButton(radio, i);
    column->addWidget(radio);
  }
  owner_->button(static_cast<int>(KeyOwnerChoice::kSelectedObjects))->setChecked(true);
  auto* note = new QLabel(QStringLiteral("Note:  Light %1 will be the currently selected light\n"
                                         "in the Edit Lights Control.")
                              .arg(QLatin1String(noteVerb)),
                          box);
  note->setObjectName(QStringLiteral("KeyRangeDialog_Note"));
  column->addWidget(note);
  static_cast<QVBoxLayout*>(layout())->addWidget(box);
}

void KeyRangeDialog::createFrameFields(const char* text, int count, int currentFrame) {
  auto* label = new QLabel(QString::fromLatin1(text), this);
  auto* form = new QFormLayout;
  form->addRow(label);
  // Frames beyond the animation still get through, for the command to
  // refuse with the limit it names.
  auto* validator =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,6}")), this);
  for (int i = 0; i < count; ++i) {
    frames_[i] = new QLineEdit(QString::number(i == 0 ? currentFrame : 0), this);
    frames_[i]->setObjectName(QStringLiteral("KeyRangeDialog_") + QLatin1String(kFrameNames[i]));
    frames_[i]->setValidator(validator);
    form->addRow(QLatin1String(kFrameNames[i]), frames_[i]);
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(form);
}

KeyRangeRequest KeyRangeDialog::request() const {
  KeyRangeRequest r;
  r.command = command_;
  if (owner_) r.owner = static_cast<KeyOwnerChoice>(owner_->checkedId());
  int* values[3] = {&r.a, &r.b, &r.c};
  for (int i = 0; i < 3; ++i)
    if (frames_[i]) *values[i] = frames_[i]->text().trimmed().toInt();
  return r;
}

KeyRangeDialog* OpenKeyRangeDialog(GuiDocument& document, KeyRangeCommand command,
                                   QWidget* window) {
  auto* dialog = new KeyRangeDialog(command, document.doc().scene.anim.currentFrame, window);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QDialog::accepted, &document, [&document, dialog] {
    const KeyRangeRequest request = dialog->request();
    document.run(CommandOf(request.command), ArgsOf(request));
  });
  dialog->open();
  return dialog;
}

}  // namespace modra
