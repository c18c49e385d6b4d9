#include "app/profile_editor_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/help_dialog.h"
#include "app/panel_widgets.h"
#include "app/profile_editor_view.h"
#include "app/tool_icons.h"
#include "document/file_filters.h"
#include "edit/field_values.h"
#include "profile/profile_editors.h"

namespace modra {
namespace {

QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}

QString Filter(const char* filter) {
  return QString::fromStdString(QtFilterString(filter));
}

// Whether a check box of the control bar is on, from what the editor holds.
bool Checked(const ProfileEditors& e, CommandId id, int index) {
  switch (id) {
    case CommandId::kProfileBevel:
      return (e.ext.profile.flags & (index == 0 ? kBevelFront : kBevelBack)) != 0;
    case CommandId::kProfileCaps:
      return (e.surf.profile.flags & kCapEnds) != 0;
    case CommandId::kProfileCorner:
      return index == 0 ? ExtControlValues(e.ext).corner : SurfControlValues(e.surf).corner;
    default:
      return false;
  }
}

void SetChecked(QAbstractButton* box, bool on) {
  if (box->isChecked() == on) return;
  const QSignalBlocker blocker(box);
  box->setChecked(on);
}

}  // namespace

ProfileEditorWindow::ProfileEditorWindow(GuiDocument& document, ProfileEditorLayout layout,
                                         QWidget* parent)
    : QMainWindow(parent, Qt::Window), document_(document), layout_(std::move(layout)) {
  setObjectName(Latin1(layout_.name));
  setAttribute(Qt::WA_DeleteOnClose);
  view_ = new ProfileEditorView(document_, layout_.kind, this);
  std::vector<ProfileField> parameters;
  for (const auto& [label, f] : layout_.numbers)
    parameters.push_back(f);
  view_->setParameters(std::move(parameters));
  createMenus();
  createControlBar();
  bindEvents();
  resize(1000, 640);
  refresh();
}

QLineEdit* ProfileEditorWindow::field(ProfileField f) const {
  for (const auto& [which, edit] : fields_)
    if (which == f) return edit;
  return nullptr;
}

int ProfileEditorWindow::commandIndex() const {
  return layout_.kind == ProfileEditorKind::kExtrusion ? 0 : 1;
}

bool ProfileEditorWindow::editorOpen() const {
  const ProfileEditors& e = document_.session().profiles();
  return layout_.kind == ProfileEditorKind::kExtrusion ? ExtEditorOpen(e) : SurfEditorOpen(e);
}

std::string ProfileEditorWindow::fileName() const {
  const ProfileEditors& e = document_.session().profiles();
  return layout_.kind == ProfileEditorKind::kExtrusion ? e.ext.fileName : e.surf.fileName;
}

void ProfileEditorWindow::run(CommandId id, int index) {
  document_.run(id, index);
  refresh();
}

void ProfileEditorWindow::createMenus() {
  const auto action = [this](const char* name, const QString& text) {
    auto* a = new QAction(text, this);
    a->setObjectName(Latin1(layout_.name) + QLatin1Char('_') + Latin1(name));
    return a;
  };
  const auto command = [&](const char* name, CommandId id) {
    return action(name, QString::fromUtf8(Info(id).menuText));
  };
  QToolBar* tools = addToolBar(QStringLiteral("Toolbar"));
  tools->setObjectName(Latin1(layout_.name) + QStringLiteral("_ToolBar"));
  tools->setMovable(false);
  const int index = commandIndex();

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* newFile = command("New", layout_.newFile);
  newFile->setIcon(MakeToolIcon(ToolIcon::kNew));
  connect(newFile, &QAction::triggered, this, [this] { run(layout_.newFile); });
  QAction* open = command("Open", layout_.openFile);
  open->setIcon(MakeToolIcon(ToolIcon::kOpen));
  connect(open, &QAction::triggered, this, &ProfileEditorWindow::openProfile);
  QAction* save = command("Save", layout_.saveFile);
  save->setIcon(MakeToolIcon(ToolIcon::kSave));
  connect(save, &QAction::triggered, this, [this] { run(layout_.saveFile); });
  QAction* saveAs = command("SaveAs", layout_.saveFileAs);
  connect(saveAs, &QAction::triggered, this, &ProfileEditorWindow::saveProfileAs);
  QAction* doneAction = action("Done", QStringLiteral("D&one"));
  connect(doneAction, &QAction::triggered, this, &ProfileEditorWindow::done);
  file->addActions({newFile, open, save, saveAs});
  file->addSeparator();
  file->addAction(doneAction);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* cut = command("Cut", CommandId::kProfileCut);
  cut->setIcon(MakeToolIcon(ToolIcon::kCut));
  // Delete as well as Ctrl+X: a field being typed in keeps both keys.
  cut->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::Key_Delete)});
  connect(cut, &QAction::triggered, this, [this, index] { run(CommandId::kProfileCut, index); });
  edit->addAction(cut);
  if (layout_.holes) {
    QAction* remove = command("RemoveHole", CommandId::kProfileRemoveHole);
    connect(remove, &QAction::triggered, this, [this] { run(CommandId::kProfileRemoveHole); });
    edit->addAction(remove);
  }
  QAction* addPoint = command("AddPoint", CommandId::kProfileAddPoint);
  connect(addPoint, &QAction::triggered, this,
          [this, index] { run(CommandId::kProfileAddPoint, index); });
  edit->addAction(addPoint);
  if (layout_.holes) {
    QAction* add = command("AddHole", CommandId::kProfileAddHole);
    connect(add, &QAction::triggered, this, [this] { run(CommandId::kProfileAddHole); });
    edit->addAction(add);
  }
  edit->addSeparator();
  QAction* all = command("SelectAll", CommandId::kProfileSelectAll);
  all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  connect(all, &QAction::triggered, this,
          [this, index] { run(CommandId::kProfileSelectAll, index); });
  QAction* none = command("DeselectAll", CommandId::kProfileDeselectAll);
  connect(none, &QAction::triggered, this,
          [this, index] { run(CommandId::kProfileDeselectAll, index); });
  edit->addActions({all, none});
  for (QAction* a : {cut, all})
    a->setShortcutContext(Qt::WindowShortcut);

  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* toolBarShown = action("ToolBarShown", QStringLiteral("&Toolbar"));
  QAction* statusShown = action("StatusBarShown", QStringLiteral("&Status Bar"));
  for (QAction* a : {toolBarShown, statusShown}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(toolBarShown, &QAction::toggled, tools, &QToolBar::setVisible);
  connect(statusShown, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  QAction* reset = action("ResetView", QStringLiteral("Reset View"));
  reset->setIcon(MakeToolIcon(ToolIcon::kResetView));
  connect(reset, &QAction::triggered, view_, &ProfileEditorView::resetView);
  QAction* fit = action("ZoomToFit", QStringLiteral("Zoom to Fit"));
  fit->setShortcut(QKeySequence(Qt::Key_Home));
  connect(fit, &QAction::triggered, this,
          [this] { FitProfilePane(document_.session(), layout_.kind); });
  auto* styles = new QActionGroup(this);
  QAction* wire = action("WireFrame", QStringLiteral("Wire Frame"));
  QAction* solid = action("Solid", QStringLiteral("Solid"));
  auto* normals = new QActionGroup(this);
  QAction* showNormals = action("ShowNormals", QStringLiteral("Show Normals"));
  QAction* hideNormals = action("HideNormals", QStringLiteral("Hide Normals"));
  for (auto [group, a] : {std::pair{styles, wire}, std::pair{styles, solid},
                          std::pair{normals, showNormals}, std::pair{normals, hideNormals}}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  solid->setChecked(true);
  hideNormals->setChecked(true);
  connect(wire, &QAction::triggered, this, [this] { view_->setDisplayMode(kWireFrame); });
  connect(solid, &QAction::triggered, this, [this] { view_->setDisplayMode(kSolid); });
  connect(showNormals, &QAction::triggered, this, [this] { view_->setNormalsShown(true); });
  connect(hideNormals, &QAction::triggered, this, [this] { view_->setNormalsShown(false); });
  viewMenu->addActions({toolBarShown, statusShown});
  viewMenu->addSeparator();
  viewMenu->addActions({reset, fit});
  viewMenu->addSeparator();
  viewMenu->addActions({wire, solid, showNormals, hideNormals});

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QAction* general = action("GeneralHelp", QStringLiteral("General Help ..."));
  general->setIcon(MakeToolIcon(ToolIcon::kHelp));
  connect(general, &QAction::triggered, this, &ProfileEditorWindow::showHelp);
  help->addAction(general);

  tools->addActions({newFile, open, save});
  tools->addSeparator();
  tools->addAction(cut);
  tools->addSeparator();
  tools->addActions({reset, general});
}

void ProfileEditorWindow::createControlBar() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* bar = new QHBoxLayout;
  layout->addLayout(bar);
  const QString prefix = Latin1(layout_.name) + QLatin1Char('_');

  const auto addField = [&](QGridLayout* grid, int row, int column, const char* label,
                            ProfileField f) {
    auto* text = new QLabel(Latin1(label), central);
    auto* edit = new QLineEdit(central);
    edit->setObjectName(prefix + QStringLiteral("Field%1").arg(static_cast<int>(f)));
    edit->setMaxLength(static_cast<int>(kProfileFieldChars));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000.0000")) + 12);
    text->setBuddy(edit);
    grid->addWidget(text, row, column);
    grid->addWidget(edit, row, column + 1);
    fields_.emplace_back(f, edit);
  };
  auto* numbers = new QGridLayout;
  for (size_t i = 0; i < layout_.numbers.size(); ++i) {
    const int row = static_cast<int>(i % 2), column = 2 * static_cast<int>(i / 2);
    addField(numbers, row, column, layout_.numbers[i].first, layout_.numbers[i].second);
  }
  bar->addLayout(numbers);

  auto* boxes = new QVBoxLayout;
  corner_ = new QCheckBox(QStringLiteral("Current Point is a Corner"), central);
  corner_->setObjectName(prefix + QStringLiteral("Corner"));
  boxes->addWidget(corner_);
  QGroupBox* titled = nullptr;
  QVBoxLayout* target = boxes;
  for (const ProfileEditorLayout::Check& c : layout_.checks) {
    if (c.boxTitle) {
      titled = new QGroupBox(Latin1(c.boxTitle), central);
      target = new QVBoxLayout(titled);
    }
    auto* box = new QCheckBox(Latin1(c.text), titled ? static_cast<QWidget*>(titled) : central);
    box->setObjectName(prefix + QStringLiteral("Check%1").arg(checks_.size()));
    target->addWidget(box);
    checks_.push_back(box);
  }
  snap_ = new QCheckBox(QStringLiteral("Snap to Grid"), central);
  snap_->setObjectName(prefix + QStringLiteral("Snap"));
  boxes->addWidget(snap_);
  boxes->addStretch();
  bar->addLayout(boxes);
  if (titled) bar->addWidget(titled);

  auto* mouseBox = new QGroupBox(QStringLiteral("3D View Mouse Control"), central);
  auto* mouseGrid = new QGridLayout(mouseBox);
  mouse_ = new QButtonGroup(this);
  std::vector<const char*> choices = {"View Rotation", "View Translation"};
  for (const auto& [label, f] : layout_.numbers)
    choices.push_back(label);
  for (size_t i = 0; i < choices.size(); ++i) {
    auto* b = new QRadioButton(Latin1(choices[i]), mouseBox);
    b->setObjectName(prefix + QStringLiteral("Mouse%1").arg(i));
    mouse_->addButton(b, static_cast<int>(i));
    mouseGrid->addWidget(b, static_cast<int>(i % 2), static_cast<int>(i / 2));
  }
  mouse_->button(0)->setChecked(true);
  bar->addWidget(mouseBox);

  auto* points = new QGridLayout;
  addField(points, 0, 0, "Point X", layout_.pointX);
  addField(points, 1, 0, "Point Y", layout_.pointY);
  bar->addLayout(points);
  bar->addStretch();

  layout->addWidget(view_, 1);
  setCentralWidget(central);

  status_ = new QLabel(this);
  status_->setObjectName(prefix + QStringLiteral("Status"));
  statusBar()->addWidget(status_, 1);
  pointer_ = new QLabel(this);
  pointer_->setObjectName(prefix + QStringLiteral("Pointer"));
  statusBar()->addPermanentWidget(pointer_);
}

void ProfileEditorWindow::bindEvents() {
  for (const auto& [f, edit] : fields_) {
    BindField(edit, document_, CommandId::kProfileField, static_cast<int>(f));
    QLineEdit* e = edit;
    const ProfileField which = f;
    connect(edit, &QLineEdit::textEdited, this, [this, e, which] { markField(e, which); });
    // Leaving the field shows its value again, which needs no mark.
    connect(edit, &QLineEdit::editingFinished, this, [this, e, which] { markField(e, which); });
  }
  const int index = commandIndex();
  connect(corner_, &QCheckBox::clicked, this,
          [this, index] { run(CommandId::kProfileCorner, index); });
  for (size_t i = 0; i < checks_.size(); ++i) {
    const ProfileEditorLayout::Check c = layout_.checks[i];
    connect(checks_[i], &QCheckBox::clicked, this, [this, c] { run(c.command, c.index); });
  }
  connect(snap_, &QCheckBox::toggled, this,
          [this](bool on) { SetProfileSnap(document_.session(), layout_.kind, on); });
  connect(mouse_, &QButtonGroup::idClicked, view_, &ProfileEditorView::setMouseChoice);
  connect(view_, &ProfileEditorView::pointerAt, this, [this](bool inPane, float x, float y) {
    pointer_->setText(inPane ? QStringLiteral("X %1  Y %2").arg(x, 0, 'f', 3).arg(y, 0, 'f', 3)
                             : QString());
  });
  connect(&document_, &GuiDocument::changed, this, &ProfileEditorWindow::documentChanged);
}

void ProfileEditorWindow::markField(QLineEdit* edit, ProfileField f) {
  const std::string text = edit->text().toStdString();
  const bool marked = edit->isEnabled() && !text.empty() &&
                      !FieldReading(CommandId::kProfileField, static_cast<int>(f), text);
  if (edit->property("marked").toBool() == marked) return;
  edit->setProperty("marked", marked);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, marked ? QColor(255, 208, 208)
                                          : QApplication::palette(edit).color(QPalette::Base));
  edit->setPalette(palette);
  status_->setText(
      marked ? QStringLiteral("\"%1\" is no number: the value stays as it was").arg(edit->text())
             : QString());
}

void ProfileEditorWindow::documentChanged(unsigned) {
  refresh();
}

void ProfileEditorWindow::refresh() {
  if (!editorOpen()) {
    // The group went (undone, deleted, a new scene): nothing is left to edit.
    if (!closing_) close();
    return;
  }
  for (const auto& [f, edit] : fields_) {
    ShowField(edit, document_, CommandId::kProfileField, static_cast<int>(f));
    if (!edit->hasFocus()) markField(edit, f);
  }
  const ProfileEditors& e = document_.session().profiles();
  const int index = commandIndex();
  SetChecked(corner_, Checked(e, CommandId::kProfileCorner, index));
  corner_->setEnabled(ProfileFieldValue(document_.session(), static_cast<int>(layout_.pointX)) !=
                      std::nullopt);
  for (size_t i = 0; i < checks_.size(); ++i)
    SetChecked(checks_[i], Checked(e, layout_.checks[i].command, layout_.checks[i].index));
  SetChecked(snap_, ProfileSnap(document_.session(), layout_.kind));
  setWindowTitle(QStringLiteral("%1 - %2").arg(
      QFileInfo(QString::fromStdString(fileName())).fileName(), Latin1(layout_.title)));
  view_->update();
}

void ProfileEditorWindow::openProfile() {
  const QString path = document_.prompts().openFileName(
      Filter(layout_.kind == ProfileEditorKind::kExtrusion ? kExtOpenFilter : kSurfOpenFilter));
  if (path.isEmpty()) return;
  document_.run(layout_.openFile, TextArgs(path.toStdString()));
  refresh();
}

void ProfileEditorWindow::saveProfileAs() {
  const QString path = document_.prompts().saveFileNameFor(
      Filter(layout_.kind == ProfileEditorKind::kExtrusion ? kExtSaveFilter : kSurfSaveFilter),
      QString::fromStdString(fileName()));
  if (path.isEmpty()) return;
  document_.run(layout_.saveFileAs, TextArgs(path.toStdString()));
  refresh();
}

void ProfileEditorWindow::showHelp() {
  // Beside the editor, not over it: the help is read while drawing.
  auto* dialog = new HelpDialog(
      QString::fromUtf8(layout_.help.data(), static_cast<qsizetype>(layout_.help.size())), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setObjectName(Latin1(layout_.name) + QStringLiteral("_Help"));
  dialog->show();
}

void ProfileEditorWindow::done() {
  close();
}

void ProfileEditorWindow::closeEvent(QCloseEvent* event) {
  closing_ = true;
  CloseProfileEditor(document_.session(), layout_.kind);
  event->accept();
}

}  // namespace modra
