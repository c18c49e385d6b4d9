#include "app/form_texture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/panel_widgets.h"
#include "app/preferences.h"
#include "document/file_filters.h"
#include "edit/texture_edits.h"

namespace modra {

namespace {

struct MappingButton {
  const char* text;
  const char* name;
};

// In the order of the mapping command's buttons.
constexpr MappingButton kMappingButtons[4] = {
    {"Planar", "Planar"},
    {"Cylinderical", "Cylindrical"},
    {"Spherical", "Spherical"},
    {"Default", "Default"},
};

constexpr const char* kFieldNames[8] = {"Rotate X",    "Rotate Y",    "Rotate Z", "Translate X",
                                        "Translate Y", "Translate Z", "Scale S",  "Scale T"};

QString ObjectName(const char* text) {
  return QStringLiteral("CFormTexture_") + QString::fromLatin1(text).remove(QLatin1Char(' '));
}

}  // namespace

CFormTexture::CFormTexture(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Texture Selected Objects"), parent) {
  setObjectName(QStringLiteral("CFormTexture"));
  createGui();
  bindEvents();
  refresh();
}

void CFormTexture::createGui() {
  enable_ = new QCheckBox(QStringLiteral("Enable Textures"), this);
  enable_->setObjectName(ObjectName("Enable"));
  layout_->addWidget(enable_);

  auto* mapping = new QGroupBox(QStringLiteral("Mapping"), this);
  auto* grid = new QGridLayout(mapping);
  for (int i = 0; i < 4; ++i) {
    mappings_[i] = new QPushButton(QString::fromLatin1(kMappingButtons[i].text), mapping);
    mappings_[i]->setObjectName(ObjectName(kMappingButtons[i].name));
    grid->addWidget(mappings_[i], i / 2, i % 2);
  }
  layout_->addWidget(mapping);

  textures_ = new QComboBox(this);
  textures_->setObjectName(ObjectName("Textures"));
  // A long file name must not widen the column.
  textures_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  textures_->setMinimumContentsLength(12);
  // One form, so that the list lines up with the fields.
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Texture"), textures_);
  for (int i = 0; i < 8; ++i) {
    fields_[i] = new QLineEdit(this);
    fields_[i]->setObjectName(ObjectName(kFieldNames[i]));
    form->addRow(QString::fromLatin1(kFieldNames[i]), fields_[i]);
  }
  layout_->addLayout(form);
  layout_->addStretch(1);
}

void CFormTexture::bindEvents() {
  connect(enable_, &QCheckBox::clicked, this, [this](bool on) {
    document_.run(on ? CommandId::kEnableTextures : CommandId::kDisableTextures);
  });
  for (int i = 0; i < 4; ++i)
    connect(mappings_[i], &QPushButton::clicked, this,
            [this, i] { document_.run(CommandId::kMapTexture, i); });
  connect(textures_, &QComboBox::activated, this, &CFormTexture::textureChosen);
  for (int i = 0; i < 8; ++i)
    BindField(fields_[i], document_, CommandId::kTextureField, i);
}

void CFormTexture::textureChosen(int row) {
  if (row != textures_->count() - 1) {
    document_.run(CommandId::kChooseTexture, row);
    return;
  }
  // Until a picture is chosen the list shows the current group's texture,
  // as it did.
  refreshList();
  loadTexture();
}

void CFormTexture::loadTexture() {
  Document& doc = document_.doc();
  QPointer<CFormTexture> self(this);
  document_.prompts().chooseTexture(
      QString::fromStdString(doc.textures.lastPath), [self](const QString& path) {
        if (!self || path.isEmpty()) return;
        Document& d = self->document_.doc();
        if (self->document_.run(CommandId::kLoadTexture, TextArgs(path.toStdString())) == 0)
          Preferences::rememberTextureFolder(d, path);
      });
}

void CFormTexture::refreshList() {
  const Document& doc = document_.doc();
  const std::vector<std::string> choices = TextureChoices(doc.textures);
  const QSignalBlocker blocker(textures_);
  bool same = textures_->count() == static_cast<int>(choices.size());
  for (int i = 0; same && i < textures_->count(); ++i)
    same = textures_->itemText(i).toStdString() == choices[static_cast<size_t>(i)];
  if (!same) {
    textures_->clear();
    for (const std::string& c : choices)
      textures_->addItem(QString::fromStdString(c));
  }
  const Scene& s = doc.scene;
  const bool current = IsLiveGroup(s, s.selectedGroup);
  const int index = current ? s.groups[s.selectedGroup].textureIndex : -1;
  textures_->setCurrentIndex(index >= 0 && index < textures_->count() - 1 ? index : -1);
}

void CFormTexture::refresh() {
  const Scene& s = document_.doc().scene;
  const bool current = IsLiveGroup(s, s.selectedGroup);
  enable_->setEnabled(current);
  {
    const QSignalBlocker blocker(enable_);
    enable_->setChecked(current && (s.groups[s.selectedGroup].flags & Textured));
  }
  for (QPushButton* b : mappings_)
    b->setEnabled(current);
  textures_->setEnabled(current);
  refreshList();
  for (int i = 0; i < 8; ++i)
    ShowField(fields_[i], document_, CommandId::kTextureField, i);
}

}  // namespace modra
