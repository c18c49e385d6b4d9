#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cassert>

#include "app/about_dialog.h"
#include "app/animation_bar.h"
#include "app/browse_window.h"
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
#include "app/preferences.h"
#include "app/preferences_dialog.h"
#include "app/profile_editor_window.h"
#include "app/render_window.h"
#include "app/spline_editor_window.h"
#include "app/thumbnail_service.h"
#include "app/tool_icons.h"
#include "app/transform_panel_form.h"
#include "app/window_fit.h"
#include "document/help_text.h"
#include "document/settings.h"
#include "images/texture_table.h"
#include "profile/profile_editors.h"

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
  prompts->setTextureBrowser([this](const QString& folder, UserPrompts::Chosen chosen) {
    openTextureBrowser(folder, std::move(chosen));
  });
  // Clicks pick through the view's context, once it exists.
  interaction().SetPick([this](float x, float y) { return view_ ? view_->pickAt(x, y) : -1; });
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);

  createActions();
  createMenus();
  createBars();
  createPanels();
  bindEvents();
  applySettings(Preferences::settings());
  setEditMode(static_cast<int>(kInitialEditMode));
  restoreGeometry(Preferences::windowGeometry());
  restoreState(Preferences::windowState());
  splitter_->restoreState(Preferences::splitterState());
  fitToScreen();
  documentChanged(kEverythingChanged);
  // Keys go to the view first, not to the name box: typing must not rename
  // a group the user did not aim at.
  view_->setFocus();
}

void MainWindow::fitToScreen() {
  const QScreen* on = screen();
  if (!on) return;
  const QRect fitted = FitWindow(frameGeometry(), geometry(), on->availableGeometry());
  if (fitted != geometry()) setGeometry(fitted);
}

MainWindow::~MainWindow() {
  // Closing moves the focus out of a field, whose handler would then run a
  // command on a session that dies before the widgets do.
  for (QWidget* child : findChildren<QWidget*>())
    child->blockSignals(true);
  // The browser tells the thumbnails it goes; they go before the widgets.
  delete browser_;
}

QAction* MainWindow::makeAction(const QString& name, const QString& text, const QString& tip) {
  auto* a = new QAction(text, this);
  a->setObjectName(QStringLiteral("MainWindow_") + name);
  if (!tip.isEmpty()) a->setStatusTip(tip);
  return a;
}

QAction* MainWindow::action(const QString& name) const {
  return findChild<QAction*>(QStringLiteral("MainWindow_") + name);
}

QAction* MainWindow::commandAction(CommandId id) {
  const CommandInfo& info = Info(id);
  QAction* a = makeAction(QString::fromLatin1(info.name), QString::fromLatin1(info.menuText),
                          QString::fromLatin1(info.statusTip));
  GuiDocument* d = document_.get();
  connect(a, &QAction::triggered, this, [d, id] { d->run(id); });
  commands_.emplace_back(id, a);
  return a;
}

void MainWindow::createActions() {
  GuiDocument* d = document_.get();
  // The File menu's commands ask for their files first.
  auto file = [&](CommandId id, auto slot) {
    const CommandInfo& info = Info(id);
    QAction* a = makeAction(QString::fromLatin1(info.name), QString::fromLatin1(info.menuText),
                            QString::fromLatin1(info.statusTip));
    connect(a, &QAction::triggered, this, [d, slot] { (d->*slot)(); });
    return a;
  };
  QAction* a = file(CommandId::kNew, &GuiDocument::newScene);
  a->setShortcut(QKeySequence::New);
  a->setIcon(MakeToolIcon(ToolIcon::kNew));
  a = file(CommandId::kOpen, &GuiDocument::open);
  a->setShortcut(QKeySequence::Open);
  a->setIcon(MakeToolIcon(ToolIcon::kOpen));
  file(CommandId::kAppend, &GuiDocument::append);
  file(CommandId::kLoadMaterial, &GuiDocument::loadMaterial);
  a = file(CommandId::kSave, &GuiDocument::save);
  a->setShortcut(QKeySequence::Save);
  a->setIcon(MakeToolIcon(ToolIcon::kSave));
  file(CommandId::kSaveAs, &GuiDocument::saveAs);
  file(CommandId::kSaveAsSource, &GuiDocument::saveAsSource);
  file(CommandId::kExportWavefront, &GuiDocument::exportWavefront);
  file(CommandId::kExportStl, &GuiDocument::exportStl);
  file(CommandId::kExportSkyloom, &GuiDocument::exportSkyloom);
  file(CommandId::kExportGltf, &GuiDocument::exportGltf);
  a = makeAction("RenderScene", "Ren&der Scene to File ...", "Render frames to a movie or images");
  connect(a, &QAction::triggered, this, &MainWindow::renderScene);
  a = makeAction("Exit", "E&xit", "Quit Modra");
  a->setShortcut(QKeySequence::Quit);
  connect(a, &QAction::triggered, this, &QWidget::close);

  undo_ = commandAction(CommandId::kUndo);
  // Ctrl+Z over the view is also a modifier of clicks; the view undoes on
  // the key's release there (COglView).
  undo_->setShortcut(QKeySequence::Undo);
  redo_ = commandAction(CommandId::kRedo);
  redo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  a = commandAction(CommandId::kCut);
  a->setShortcut(QKeySequence::Cut);
  a->setIcon(MakeToolIcon(ToolIcon::kCut));
  a = commandAction(CommandId::kCopy);
  a->setShortcut(QKeySequence::Copy);
  a->setIcon(MakeToolIcon(ToolIcon::kCopy));
  a = commandAction(CommandId::kPaste);
  a->setShortcut(QKeySequence::Paste);
  a->setIcon(MakeToolIcon(ToolIcon::kPaste));
  commandAction(CommandId::kGroup);
  commandAction(CommandId::kUngroup);
  commandAction(CommandId::kSelectAll)->setShortcut(QKeySequence::SelectAll);
  commandAction(CommandId::kDeselectAll);

  toolBarShown_ = makeAction("Toolbar", "&Toolbar", "Show or hide the tool bar");
  statusBarShown_ = makeAction("StatusBar", "&Status Bar", "Show or hide the status bar");
  toolBarShown_->setCheckable(true);
  statusBarShown_->setCheckable(true);
  commandAction(CommandId::kResetView)->setIcon(MakeToolIcon(ToolIcon::kResetView));
  // Radio items: the core says which one is in force.
  for (auto choice :
       {std::initializer_list<CommandId>{CommandId::kWireFrame, CommandId::kSolid,
                                         CommandId::kTextured},
        std::initializer_list<CommandId>{CommandId::kShowNormals, CommandId::kHideNormals}}) {
    auto* group = new QActionGroup(this);
    for (CommandId id : choice) {
      QAction* item = commandAction(id);
      item->setCheckable(true);
      group->addAction(item);
    }
  }

  commandAction(CommandId::kCutKeyFrame);
  commandAction(CommandId::kCopyKeyFrame);
  commandAction(CommandId::kPasteKeyFrame);
  const std::pair<KeyRangeCommand, CommandId> keyDialogs[] = {
      {KeyRangeCommand::kRemoveOwnerKeys, CommandId::kRemoveKeyInfo},
      {KeyRangeCommand::kCopyKeyToRange, CommandId::kCopyKeyToRange},
      {KeyRangeCommand::kCopyRangeToRange, CommandId::kCopyRangeToRange},
      {KeyRangeCommand::kScaleRange, CommandId::kScaleRange},
  };
  for (const auto& [command, id] : keyDialogs) {
    const CommandInfo& info = Info(id);
    a = makeAction(QString::fromLatin1(info.name), QString::fromLatin1(info.menuText));
    connect(a, &QAction::triggered, this, [this, dialog = command] { openKeyDialog(dialog); });
  }
  a = makeAction("EditSpline", "&Edit Spline ...");
  connect(a, &QAction::triggered, this, &MainWindow::openSplineEditor);

  a = makeAction("GeneralOptions", "Set &General Options ...",
                 "Display switches, texture path and undo memory");
  connect(a, &QAction::triggered, this, &MainWindow::showPreferences);
  commandAction(CommandId::kReverseNormals);

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
  add(fileMenu_,
      {"New", "Open", "Append", "LoadMaterial", "", "Save", "SaveAs", "SaveAsSource",
       "ExportWavefront", "ExportStl", "ExportSkyloom", "ExportGltf", "", "RenderScene"});
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
  for (const char* name :
       {"New", "Open", "Save", "", "Cut", "Copy", "Paste", "", "ResetView", "", "About"}) {
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
        panel = new CFormViewer(d, panels_);
        break;
      case EditMode::kTranslateView:
        panel = new CFormViewerTrans(d, panels_);
        break;
      case EditMode::kCreateObjects:
        panel = new CFormCreate(d, panels_);
        break;
      case EditMode::kColor:
        panel = new CFormColor(d, panels_);
        break;
      case EditMode::kLights:
        panel = new CFormLights(d, panels_);
        break;
      case EditMode::kCamera:
        panel = new CFormCamera(d, panels_);
        break;
      case EditMode::kTexture:
        panel = new CFormTexture(d, panels_);
        break;
      default: {
        // The five transform modes share one form.
        TransformPanel transform{};
        [[maybe_unused]] const bool known =
            TransformPanelOfMode(static_cast<EditMode>(m), &transform);
        assert(known);
        panel = new TransformPanelForm(d, transform, panels_);
        break;
      }
    }
    panelOf_[m] = panel;
    panels_->addWidget(panel);
  }
  view_ = new COglView(d, interaction(), splitter_);
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
  connect(&playback_, &PlaybackClock::advance, this,
          [this](int frames) { document_->session().AdvancePlayback(frames); });
  connect(animationBar_, &AnimationBar::playClicked, this, &MainWindow::startPlayback);
  connect(animationBar_, &AnimationBar::stopClicked, this, &MainWindow::stopPlayback);
  connect(toolBarShown_, &QAction::toggled, toolBar_, &QWidget::setVisible);
  connect(statusBarShown_, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void MainWindow::applySettings(const Settings& s) {
  ApplySettings(document_->doc(), s);
  document_->session().SetHistoryLimit(static_cast<size_t>(s.undoMegabytes) << 20);
  updateRecentFiles();
}

void MainWindow::setEditMode(int mode) {
  if (!IsEditMode(mode)) return;
  // The panel shown loads its values from the notice the mode change sends.
  interaction().SetMode(static_cast<EditMode>(mode));
  panels_->setCurrentWidget(panelOf_[mode]);
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
  // "[*]" shows the unsaved mark where the platform puts it.
  if (what & kNameChanged) setWindowTitle(document_->title() + QStringLiteral("[*]"));
  setWindowModified(document_->doc().modified);
  if (what & (kSelectionChanged | kValuesChanged | kSceneChanged | kFrameChanged))
    animationBar_->refresh();
  if (what & ~(kNameChanged | kHistoryChanged | kClipboardChanged)) {
    panelOf_[editMode()]->refresh();
    view_->update();
  }
  followProfileEditors();
  updateActions();
}

void MainWindow::followProfileEditors() {
  const ProfileEditors& editors = document_->session().profiles();
  const auto follow = [this](QPointer<ProfileEditorWindow>& window, int group, int& shown,
                             auto make) {
    const bool moved = group != shown;
    shown = group;
    if (group < 0) return;  // a window whose editor closed closes itself
    if (!window) {
      window = make();
      window->show();
    } else if (!moved) {
      return;
    }
    window->raise();
    window->activateWindow();
  };
  follow(extEditor_, editors.ext.group, extGroup_,
         [this] { return new CExtEditorWnd(*document_, this); });
  follow(surfEditor_, editors.surf.group, surfGroup_,
         [this] { return new CSurfEditWnd(*document_, this); });
}

void MainWindow::updateActions() {
  const EditSession& session = document_->session();
  for (const auto& [id, action] : commands_) {
    action->setEnabled(CommandEnabled(session, id));
    if (action->isCheckable()) action->setChecked(CommandChecked(session, id));
  }
  const auto named = [](const char* verb, const std::string& step) {
    return step.empty()
               ? QString::fromLatin1(verb)
               : QStringLiteral("%1 %2").arg(QLatin1String(verb), QString::fromStdString(step));
  };
  undo_->setText(named("&Undo", session.UndoName()));
  redo_->setText(named("&Redo", session.RedoName()));
  toolBarShown_->setChecked(!toolBar_->isHidden());
  statusBarShown_->setChecked(!statusBar()->isHidden());
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
  document_->run(CommandId::kPlay);
  if (document_->doc().scene.anim.playing) playback_.start();
}

void MainWindow::stopPlayback() {
  playback_.stop();
  document_->run(CommandId::kStop);
}

void MainWindow::showPreferences() {
  const PlaybackClock::Pause pause(&playback_);
  Document& doc = document_->doc();
  Settings s = Preferences::settings();
  PreferencesDialog dialog(this);
  dialog.setValues({doc.display.lightDisplay, doc.display.cameraDisplay,
                    doc.display.solidAxisDisplay, doc.whiteUncoloredParts,
                    QString::fromStdString(s.texturePath), s.undoMegabytes});
  if (dialog.exec() != QDialog::Accepted) return;
  const PreferencesDialog::Values v = dialog.values();
  s.lightDisplay = v.lightDisplay;
  s.cameraDisplay = v.cameraDisplay;
  s.solidAxisDisplay = v.solidAxis;
  s.whiteUncoloredParts = v.whiteUncoloredParts;
  s.texturePath = v.texturePath.toStdString();
  s.undoMegabytes = v.undoMegabytes;
  Preferences::setSettings(s);
  applySettings(s);
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
  OpenKeyRangeDialog(*document_, command, this);
}

void MainWindow::openTextureBrowser(const QString& folder, UserPrompts::Chosen chosen) {
  // One browser at a time: a second asking brings it forward and this
  // asking hears nothing.
  if (browser_) {
    browser_->raise();
    browser_->activateWindow();
    return;
  }
  if (!thumbnails_) thumbnails_ = std::make_unique<ThumbnailService>(*document_);
  const Document& doc = document_->doc();
  BrowsePlaces places;
  places.home = QDir::homePath().toStdString();
  places.documentFolder = QFileInfo(QString::fromStdString(doc.name)).absolutePath().toStdString();
  places.textureFolders = doc.textures.searchPath;
  auto* browser = new CBrowse(*thumbnails_, *document_, std::move(places), this);
  browser_ = browser;
  browser->SetMultiSelect(false);
  browser->SetPickCloses(false);
  browser->SetCallBack([browser, chosen = std::move(chosen)](int count) {
    const std::optional<std::string> path = count > 0 ? browser->GetFirstSelected() : std::nullopt;
    chosen(path ? QString::fromStdString(*path) : QString());
  });
  browser->SetDirectory(folder.toStdString());
  browser->show();
}

void MainWindow::openSplineEditor() {
  // The keys must hold still while the editor shows them.
  if (playback_.running()) stopPlayback();
  if (!splineEditor_) {
    splineEditor_ = new SplineEditorWindow(*document_, this);
    splineEditor_->show();
  }
  splineEditor_->raise();
  splineEditor_->activateWindow();
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
