#include "app/resolution_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace modra {

ResolutionDialog::ResolutionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ResolutionDialog"));
  setWindowTitle(QStringLiteral("Modify Resolution"));
  auto* grid = new QGridLayout;
  for (int i = 0; i < kPairs; ++i) {
    labels_[i] = new QLabel(this);
    edits_[i] = new QSpinBox(this);
    labels_[i]->setObjectName(QStringLiteral("ResolutionDialog_Label%1").arg(i));
    edits_[i]->setObjectName(QStringLiteral("ResolutionDialog_Value%1").arg(i));
    labels_[i]->setBuddy(edits_[i]);
    grid->addWidget(labels_[i], i, 0);
    grid->addWidget(edits_[i], i, 1);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ResolutionDialog_Ok"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  setValues(Values{});
}

void ResolutionDialog::setValues(const Values& v) {
  given_ = v;
  for (int i = 0; i < kPairs; ++i) {
    const bool used = i < v.count;
    labels_[i]->setVisible(used);
    edits_[i]->setVisible(used);
    labels_[i]->setText(used ? v.labels[i] : QString());
    // The range first, so the value is not clamped to the old one.
    if (used) edits_[i]->setRange(v.min[i], v.max[i]);
    edits_[i]->setValue(used ? v.values[i] : 0);
  }
}

ResolutionDialog::Values ResolutionDialog::values() const {
  Values v = given_;
  for (int i = 0; i < v.count && i < kPairs; ++i)
    v.values[i] = edits_[i]->value();
  return v;
}

}  // namespace modra
