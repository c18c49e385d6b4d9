#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cassert>

#include "anim/key_commands.h"
#include "anim/playback.h"
#include "app/about_dialog.h"
#include "app/animation_bar.h"
#include "app/form_camera.h"
#include "app/form_color.h"
#include "app/form_create.h"
#include "app/form_lights.h"
#include "app/form_pick.h"
#include "app/form_texture.h"
#include "app/form_viewer.h"
#include "app/form_viewer_trans.h"
#include "app/help_dialog.h"
#include "app/key_range_dialogs.h"
#include "app/ogl_view.h"
#include "app/transform_panel_form.h"
#include "app/preferences.h"
#include "app/preferences_dialog.h"
#include "app/render_window.h"
#include "app/tool_icons.h"
#include "document/group_edit.h"
#include "document/help_text.h"
#include "document/settings.h"
#include "images/texture_table.h"

namespace modra {

namespace {

// Where the accelerator of each Edit Mode item sits in its text: the
// items share first letters, so each gets a letter of its own.
constexpr int kModeAccelerators[kEditModeCount] = {0, 0, 0, 10, 8, 10, 8, 2, 9, 2, 2, 1, 2};

QString ModeItemText(int mode) {
  const std::string_view text = EditModeMenuText(static_cast<EditMode>(mode));
  QString item = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  item.insert(kModeAccelerators[mode], QLatin1Char('&'));
  return item;
}

}  // namespace

MainWindow::MainWindow(UserPrompts* prompts, const triangulation::DebugSettings& triangulatorDebug,
                       QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainWindow"));
  if (!prompts) {
    ownPrompts_ = std::make_unique<DialogPrompts>(this, &playback_);
    prompts = ownPrompts_.get();
  }
  document_ = std::make_unique<GuiDocument>(*prompts, triangulatorDebug);
  // The model picks through the view and hands drags to the panel of a
  // mode; both exist before the first event reaches it.
  interaction_ = std::make_unique<ViewInteraction>(
      document_->doc(),
      ViewHooks{
          [this](float x, float y) { return view_ ? view_->pickAt(x, y) : -1; },
          [this](EditMode mode) -> AdjustTarget* { return panelOf_[static_cast<size_t>(mode)]; }});
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);

  createActions();
  createMenus();
  createBars();
  createPanels();
  bindEvents();
  applySettings();
  setEditMode(static_cast<int>(kInitialEditMode));
  restoreGeometry(Preferences::windowGeometry());
  restoreState(Preferences::windowState());
  splitter_->restoreState(Preferences::splitterState());
  documentChanged(kEverythingChanged);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::makeAction(const QString& name, const QString& text, const QString& tip) {
  auto* a = new QAction(text, this);
  a->setObjectName(QStringLiteral("MainWindow_") + name);
  if (!tip.isEmpty()) a->setStatusTip(tip);
  return a;
}

QAction* MainWindow::action(const QString& name) const {
  return findChild<QAction*>(QStringLiteral("MainWindow_") + name);
}

void MainWindow::createActions() {
  GuiDocument* d = document_.get();
  auto file = [&](const char* name, const char* text, const char* tip, auto slot) {
    QAction* a = makeAction(name, text, tip);
    connect(a, &QAction::triggered, this, [d, slot] { (d->*slot)(); });
    return a;
  };
  QAction* a = file("New", "&New", "Start a new scene", &GuiDocument::newScene);
  a->setShortcut(QKeySequence::New);
  a->setIcon(MakeToolIcon(ToolIcon::kNew));
  a = file("Open", "&Open ...", "Open a scene or a model in place of the scene", &GuiDocument::open);
  a->setShortcut(QKeySequence::Open);
  a->setIcon(MakeToolIcon(ToolIcon::kOpen));
  file("Append", "&Append ...", "Add a model to the scene", &GuiDocument::append);
  file("LoadMaterial", "Load &Wavefront Material", "Read a material library",
       &GuiDocument::loadMaterial);
  a = file("Save", "&Save", "Save the scene", &GuiDocument::save);
  a->setShortcut(QKeySequence::Save);
  a->setIcon(MakeToolIcon(ToolIcon::kSave));
  file("SaveAs", "Save &As ...", "Save a copy of the scene", &GuiDocument::saveAs);
  file("SaveAsSource", "Save As Sou&rce ...", "Write the scene as C source",
       &GuiDocument::saveAsSource);
  file("ExportWavefront", "Export to Wa&vefront ...", "Write the scene as a Wavefront file",
       &GuiDocument::exportWavefront);
  file("ExportSkyloom", "Export to Sky&Loom ...", "Write the scene as Skyloom text",
       &GuiDocument::exportSkyloom);
  a = makeAction("RenderScene", "Ren&der Scene to File ...",
                 "Render frames to a movie or images");
  connect(a, &QAction::triggered, this, &MainWindow::renderScene);
  a = makeAction("Exit", "E&xit", "Quit Modra");
  a->setShortcut(QKeySequence::Quit);
  connect(a, &QAction::triggered, this, &QWidget::close);

  undo_ = makeAction("Undo", "&Undo", "Take back the last change");
  // Ctrl+Z over the view is also a modifier of clicks; the view undoes on
  // the key's release there (COglView).
  undo_->setShortcut(QKeySequence::Undo);
  connect(undo_, &QAction::triggered, this, [d] { d->undo(); });
  redo_ = makeAction("Redo", "&Redo", "Make the change taken back again");
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                       QKeySequence(Qt::CTRL | Qt::Key_Y)});
  connect(redo_, &QAction::triggered, this, [d] { d->redo(); });

  // `step` names the undo step of a command that changes the scene; the
  // selection commands make none.
  auto edit = [&](const char* name, const char* text, const char* tip, void (*command)(Document&),
                  const char* step = nullptr) {
    QAction* act = makeAction(name, text, tip);
    connect(act, &QAction::triggered, this, [d, command, step] {
      if (step)
        d->step(step, [&] { command(d->doc()); });
      else
        command(d->doc());
      d->notify(kEverythingChanged);
    });
    return act;
  };
  cut_ = edit("Cut", "Cu&t", "Move the selected groups to the clipboard", &Cut, "Cut");
  cut_->setShortcut(QKeySequence::Cut);
  cut_->setIcon(MakeToolIcon(ToolIcon::kCut));
  copy_ = edit("Copy", "&Copy", "Copy the selected groups to the clipboard", &Copy);
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setIcon(MakeToolIcon(ToolIcon::kCopy));
  paste_ = edit("Paste", "&Paste", "Add the clipboard's groups to the scene", &Paste, "Paste");
  paste_->setShortcut(QKeySequence::Paste);
  paste_->setIcon(MakeToolIcon(ToolIcon::kPaste));
  group_ = edit("Group", "&Group", "Link the selected groups under a new group", &GroupSelected, "Group");
  ungroup_ = edit("Ungroup", "&Ungroup", "Move the children up a level", &Ungroup, "Ungroup");
  a = edit("SelectAll", "Select &All", "Select every group of the level", &SelectAll);
  a->setShortcut(QKeySequence::SelectAll);
  edit("DeselectAll", "&Deselect All", "Select nothing", &DeselectAll);

  toolBarShown_ = makeAction("Toolbar", "&Toolbar", "Show or hide the tool bar");
  statusBarShown_ = makeAction("StatusBar", "&Status Bar", "Show or hide the status bar");
  toolBarShown_->setCheckable(true);
  statusBarShown_->setCheckable(true);
  a = makeAction("ResetView", "&Reset View", "Bring every view back to where it started");
  a->setIcon(MakeToolIcon(ToolIcon::kResetView));
  connect(a, &QAction::triggered, this, [this] { interaction_->ResetView(); });

  auto* displayGroup = new QActionGroup(this);
  const char* displayNames[3][2] = {
      {"WireFrame", "&Wire Frame"}, {"Solid", "S&olid"}, {"Textured", "Te&xtured"}};
  for (int m = 0; m < 3; ++m) {
    displayModes_[m] = makeAction(displayNames[m][0], displayNames[m][1]);
    displayModes_[m]->setCheckable(true);
    displayModes_[m]->setData(m);
    displayGroup->addAction(displayModes_[m]);
  }
  connect(displayGroup, &QActionGroup::triggered, this, [d](QAction* act) {
    d->doc().display.displayMode = act->data().toInt();
    d->RequestRedraw();
  });
  auto* normalsGroup = new QActionGroup(this);
  showNormals_ = makeAction("ShowNormals", "Show &Normals");
  hideNormals_ = makeAction("HideNormals", "&Hide Normals");
  for (QAction* act : {showNormals_, hideNormals_}) {
    act->setCheckable(true);
    normalsGroup->addAction(act);
  }
  connect(normalsGroup, &QActionGroup::triggered, this, [this, d](QAction* act) {
    d->doc().display.showNormals = act == showNormals_;
    d->RequestRedraw();
  });

  cutKey_ = makeAction("CutKeyFrame", "Cu&t Current Key Frame");
  connect(cutKey_, &QAction::triggered, this, [d] {
    d->step("Cut Key Frame", [&] { CutOrCopyKeyFrame(d->doc(), true); });
    d->notify(kEverythingChanged);
  });
  a = makeAction("CopyKeyFrame", "&Copy Current Key Frame");
  connect(a, &QAction::triggered, this, [d] {
    CutOrCopyKeyFrame(d->doc(), false);
    d->notify(kValuesChanged);
  });
  a = makeAction("PasteKeyFrame", "&Paste Key Frame");
  connect(a, &QAction::triggered, this, [d] {
    d->step("Paste Key Frame", [&] { PasteKeyFrame(d->doc(), true); });
    d->notify(kEverythingChanged);
  });
  const std::pair<KeyRangeCommand, QAction*> keyDialogs[] = {
      {KeyRangeCommand::kRemoveOwnerKeys,
       makeAction("RemoveKeyInfo", "&Remove Key Frame Info ...")},
      {KeyRangeCommand::kCopyKeyToRange, makeAction("CopyKeyToRange", "Copy &Key to Range ...")},
      {KeyRangeCommand::kCopyRangeToRange,
       makeAction("CopyRangeToRange", "Copy Keys in Range to Ran&ge ...")},
      {KeyRangeCommand::kScaleRange, makeAction("StretchKeys", "&Strech/Squeeze Key Frame ...")},
  };
  for (const auto& [command, action] : keyDialogs)
    connect(action, &QAction::triggered, this, [this, command] { openKeyDialog(command); });
  // TODO(keyframes): the spline editor comes with the animation issue.
  makeAction("EditSpline", "&Edit Spline ...")->setEnabled(false);

  a = makeAction("GeneralOptions", "Set &General Options ...", "Display switches and texture path");
  connect(a, &QAction::triggered, this, &MainWindow::showPreferences);
  reverseNormals_ = makeAction("ReverseNormals", "&Reverse Normals",
                               "Turn the faces of the current group inside out");
  connect(reverseNormals_, &QAction::triggered, this, [d] {
    d->step("Reverse Normals", [&] { ReverseNormals(d->doc()); });
    d->notify(kValuesChanged | kNameChanged);
  });

  modeGroup_ = new QActionGroup(this);
  for (int m = 0; m < kEditModeCount; ++m) {
    modes_[m] = makeAction(QStringLiteral("Mode%1").arg(m), ModeItemText(m));
    modes_[m]->setCheckable(true);
    modes_[m]->setData(m);
    modeGroup_->addAction(modes_[m]);
  }
  connect(modeGroup_, &QActionGroup::triggered, this,
          [this](QAction* act) { setEditMode(act->data().toInt()); });

  a = makeAction("About", "&About modra...", "The program's version");
  a->setIcon(MakeToolIcon(ToolIcon::kHelp));
  connect(a, &QAction::triggered, this, &MainWindow::showAbout);
  a = makeAction("GeneralHelp", "&General Help ...");
  connect(a, &QAction::triggered, this, [this] { showHelp(false); });
  a = makeAction("KeyboardHelp", "&Keyboard Short Cuts ..");
  connect(a, &QAction::triggered, this, [this] { showHelp(true); });

  for (size_t i = 0; i < recent_.size(); ++i) {
    recent_[i] = makeAction(QStringLiteral("Recent%1").arg(i), QString());
    connect(recent_[i], &QAction::triggered, this, [this, i] {
      const QString path = recent_[i]->data().toString();
      if (!path.isEmpty()) document_->openFile(path);
    });
  }
}

void MainWindow::createMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (!*name)
        menu->addSeparator();
      else
        menu->addAction(action(QString::fromLatin1(name)));
    }
  };
  fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
  add(fileMenu_, {"New", "Open", "Append", "LoadMaterial", "", "Save", "SaveAs", "SaveAsSource",
                  "ExportWavefront", "ExportSkyloom", "", "RenderScene"});
  recentSeparator_ = fileMenu_->addSeparator();
  for (QAction* a : recent_)
    fileMenu_->addAction(a);
  fileMenu_->addSeparator();
  fileMenu_->addAction(action(QStringLiteral("Exit")));

  add(menuBar()->addMenu(QStringLiteral("&Edit")),
      {"Undo", "Redo", "", "Cut", "Copy", "Paste", "", "Group", "Ungroup", "", "SelectAll",
       "DeselectAll"});
  add(menuBar()->addMenu(QStringLiteral("&View")),
      {"Toolbar", "StatusBar", "", "ResetView", "", "WireFrame", "Solid", "Textured", "",
       "ShowNormals", "HideNormals"});
  add(menuBar()->addMenu(QStringLiteral("&Animation")),
      {"CutKeyFrame", "CopyKeyFrame", "PasteKeyFrame", "", "RemoveKeyInfo", "CopyKeyToRange",
       "CopyRangeToRange", "StretchKeys", "", "EditSpline"});
  add(menuBar()->addMenu(QStringLiteral("&Options")), {"GeneralOptions", "ReverseNormals"});
  QMenu* modes = menuBar()->addMenu(QStringLiteral("Edit &Mode"));
  for (QAction* a : modes_)
    modes->addAction(a);
  add(menuBar()->addMenu(QStringLiteral("&Help")), {"About", "GeneralHelp", "KeyboardHelp"});
}

void MainWindow::createBars() {
  toolBar_ = addToolBar(QStringLiteral("Tool Bar"));
  toolBar_->setObjectName(QStringLiteral("MainWindow_ToolBar"));
  for (const char* name : {"New", "Open", "Save", "", "Cut", "Copy", "Paste", "", "ResetView", "",
                           "About"}) {
    if (!*name)
      toolBar_->addSeparator();
    else
      toolBar_->addAction(action(QString::fromLatin1(name)));
  }
  addToolBarBreak();
  animationBar_ = new AnimationBar(*document_, this);
  addToolBar(Qt::TopToolBarArea, animationBar_);
  statusBar()->setObjectName(QStringLiteral("MainWindow_StatusBar"));
}

void MainWindow::createPanels() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("MainWindow_Splitter"));
  panels_ = new QStackedWidget(splitter_);
  panels_->setObjectName(QStringLiteral("MainWindow_Panels"));
  GuiDocument& d = *document_;
  for (int m = 0; m < kEditModeCount; ++m) {
    ControlPanel* panel;
    switch (static_cast<EditMode>(m)) {
      case EditMode::kSelection:
        panel = new CFormPick(d, panels_);
        break;
      case EditMode::kRotateView:
        panel = new CFormViewer(d, *interaction_, panels_);
        break;
      case EditMode::kTranslateView:
        panel = new CFormViewerTrans(d, *interaction_, panels_);
        break;
      case EditMode::kCreateObjects:
        panel = new CFormCreate(d, panels_);
        break;
      case EditMode::kColor:
        panel = new CFormColor(d, panels_);
        break;
      case EditMode::kLights:
        panel = new CFormLights(d, *interaction_, panels_);
        break;
      case EditMode::kCamera:
        panel = new CFormCamera(d, *interaction_, panels_);
        break;
      case EditMode::kTexture:
        panel = new CFormTexture(d, panels_);
        break;
      default: {
        // The five transform modes share one form.
        TransformPanel transform{};
        [[maybe_unused]] const bool known =
            TransformPanelForm::ForMode(static_cast<EditMode>(m), &transform);
        assert(known);
        panel = new TransformPanelForm(d, transform, panels_);
        break;
      }
    }
    panelOf_[m] = panel;
    panels_->addWidget(panel);
  }
  view_ = new COglView(d, *interaction_, splitter_);
  splitter_->addWidget(panels_);
  splitter_->addWidget(view_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({300, 700});
  setCentralWidget(splitter_);
  resize(1100, 760);
}

void MainWindow::bindEvents() {
  connect(document_.get(), &GuiDocument::changed, this, &MainWindow::documentChanged);
  connect(document_.get(), &GuiDocument::redrawRequested, view_, qOverload<>(&QWidget::update));
  connect(document_.get(), &GuiDocument::fileOpened, this, [this](const QString& path) {
    Preferences::addRecentFile(path);
    updateRecentFiles();
  });
  connect(view_, &COglView::statusTextWanted, this, [this](const QString& text) {
    if (statusBar()->currentMessage() != text) statusBar()->showMessage(text);
  });
  connect(&playback_, &PlaybackClock::advance, document_.get(), &GuiDocument::advancePlayback);
  connect(animationBar_, &AnimationBar::playClicked, this, &MainWindow::startPlayback);
  connect(animationBar_, &AnimationBar::stopClicked, this, &MainWindow::stopPlayback);
  connect(toolBarShown_, &QAction::toggled, toolBar_, &QWidget::setVisible);
  connect(statusBarShown_, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void MainWindow::applySettings() {
  ApplySettings(document_->doc(), Preferences::settings());
  updateRecentFiles();
}

void MainWindow::setEditMode(int mode) {
  if (!IsEditMode(mode)) return;
  interaction_->SetMode(static_cast<EditMode>(mode));
  panels_->setCurrentWidget(panelOf_[mode]);
  panelOf_[mode]->refresh();
  if (static_cast<EditMode>(mode) == EditMode::kCreateObjects)
    statusBar()->showMessage(QStringLiteral("Create objects by clicking a button"));
  else if (view_->underMouse())
    statusBar()->showMessage(view_->statusText());
  // The first paint of a new panel is not held up by playback's frames.
  if (playback_.running()) {
    playback_.pause();
    QTimer::singleShot(50, &playback_, &PlaybackClock::resume);
  }
  updateActions();
}

void MainWindow::documentChanged(unsigned what) {
  if (!document_->doc().scene.anim.playing && playback_.running()) playback_.stop();
  if (what & kNameChanged) setWindowTitle(document_->title());
  if (what & (kSelectionChanged | kValuesChanged | kSceneChanged | kFrameChanged))
    animationBar_->refresh();
  if (what & ~kNameChanged) {
    panelOf_[editMode()]->refresh();
    view_->update();
  }
  updateActions();
}

void MainWindow::updateActions() {
  const Document& doc = document_->doc();
  const Scene& s = doc.scene;
  const bool current = s.selectedGroup != -1;
  cut_->setEnabled(current);
  copy_->setEnabled(current);
  group_->setEnabled(current);
  ungroup_->setEnabled(current);
  paste_->setEnabled(!s.clipboard.Empty());
  reverseNormals_->setEnabled(current);
  History& history = document_->history();
  undo_->setEnabled(history.CanUndo());
  redo_->setEnabled(history.CanRedo());
  const auto named = [](const char* verb, std::string_view step) {
    return step.empty() ? QString::fromLatin1(verb)
                        : QStringLiteral("%1 %2").arg(QLatin1String(verb),
                                                      QString::fromUtf8(step.data(),
                                                                        qsizetype(step.size())));
  };
  undo_->setText(named("&Undo", history.UndoName()));
  redo_->setText(named("&Redo", history.RedoName()));
  toolBarShown_->setChecked(!toolBar_->isHidden());
  statusBarShown_->setChecked(!statusBar()->isHidden());
  for (int m = 0; m < 3; ++m)
    displayModes_[m]->setChecked(doc.display.displayMode == m);
  showNormals_->setChecked(doc.display.showNormals);
  hideNormals_->setChecked(!doc.display.showNormals);
  modes_[editMode()]->setChecked(true);
}

void MainWindow::updateRecentFiles() {
  const QStringList files = Preferences::recentFiles();
  for (size_t i = 0; i < recent_.size(); ++i) {
    const bool used = static_cast<qsizetype>(i) < files.size();
    recent_[i]->setVisible(used);
    if (!used) continue;
    const QString& path = files[static_cast<qsizetype>(i)];
    recent_[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    recent_[i]->setStatusTip(path);
    recent_[i]->setData(path);
  }
  recentSeparator_->setVisible(!files.isEmpty());
}

void MainWindow::startPlayback() {
  StartPlayback(document_->doc());
  playback_.start();
  document_->notify(kFrameChanged | kValuesChanged);
}

void MainWindow::stopPlayback() {
  playback_.stop();
  StopPlayback(document_->doc());
  document_->notify(kFrameChanged | kValuesChanged);
}

void MainWindow::showPreferences() {
  const PlaybackClock::Pause pause(&playback_);
  Document& doc = document_->doc();
  Settings s = Preferences::settings();
  PreferencesDialog dialog(this);
  dialog.setValues({doc.display.lightDisplay, doc.display.cameraDisplay,
                    doc.display.solidAxisDisplay, doc.whiteUncoloredParts,
                    QString::fromStdString(s.texturePath)});
  if (dialog.exec() != QDialog::Accepted) return;
  const PreferencesDialog::Values v = dialog.values();
  s.lightDisplay = v.lightDisplay;
  s.cameraDisplay = v.cameraDisplay;
  s.solidAxisDisplay = v.solidAxis;
  s.whiteUncoloredParts = v.whiteUncoloredParts;
  s.texturePath = v.texturePath.toStdString();
  Preferences::setSettings(s);
  ApplySettings(doc, s);
}

void MainWindow::showHelp(bool keyboard) {
  const PlaybackClock::Pause pause(&playback_);
  const std::string_view text = keyboard ? KeyboardHelpText() : GeneralHelpText();
  HelpDialog dialog(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), this);
  dialog.exec();
}

void MainWindow::showAbout() {
  const PlaybackClock::Pause pause(&playback_);
  AboutDialog dialog(this);
  dialog.exec();
}

void MainWindow::renderScene() {
  // The render shows frames of its own; playback would fight it for them.
  if (playback_.running()) stopPlayback();
  if (!render_) render_ = new RenderController(*document_, this);
  render_->start();
}

void MainWindow::openKeyDialog(KeyRangeCommand command) {
  // The keys must hold still while the dialog works on them.
  if (playback_.running()) stopPlayback();
  OpenKeyRangeDialog(*document_, command, interaction_->Panels().currentLight, this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!document_->mayQuit()) {
    event->ignore();
    return;
  }
  playback_.stop();
  Preferences::setWindowLayout(saveGeometry(), saveState(), splitter_->saveState());
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  document_->openFile(urls.first().toLocalFile());
}

}  // namespace modra
