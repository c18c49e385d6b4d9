// The main window: menus, tool bar, animation bar, status bar, and the
// splitter with the panel of the current edit mode beside the 3D view.
// Actions are made once; updateActions() alone sets what they show.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "anim/key_range_commands.h"
#include "app/gui_document.h"
#include "app/playback_clock.h"
#include "document/settings.h"
#include "view/interaction.h"

class QAction;
class QActionGroup;
class QMenu;
class QSplitter;
class QStackedWidget;

namespace modra {

class AnimationBar;
class COglView;
class ControlPanel;
class RenderController;
class SplineEditorWindow;
class ProfileEditorWindow;
class CBrowse;
class ThumbnailService;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `prompts` answers the questions (none: message boxes and file
  // dialogs); it must outlive the window.
  explicit MainWindow(UserPrompts* prompts = nullptr,
                      const triangulation::DebugSettings& triangulatorDebug = {},
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  GuiDocument& document() { return *document_; }
  COglView* view() { return view_; }
  PlaybackClock& playback() { return playback_; }
  ViewInteraction& interaction() { return document_->session().interaction(); }
  int editMode() const { return static_cast<int>(document_->session().interaction().Mode()); }
  // A value outside the edit modes is ignored.
  void setEditMode(int mode);
  // The action of an Edit Mode item, a File menu command, etc., by its
  // object name ("MainWindow_<Name>").
  QAction* action(const QString& name) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createBars();
  void createPanels();
  void bindEvents();
  // The display switches, texture folders and undo memory of `settings`.
  void applySettings(const Settings& settings);
  // A window larger than its screen's free area (a saved size, or the
  // default at a high scale) shrinks into it.
  void fitToScreen();
  void documentChanged(unsigned what);
  void updateActions();
  void updateRecentFiles();
  void startPlayback();
  void stopPlayback();
  void showPreferences();
  void showHelp(bool keyboard);
  void showAbout();
  void renderScene();
  void openKeyDialog(KeyRangeCommand command);
  // One spline editor at a time: a second opening brings it forward.
  void openSplineEditor();
  // A profile editor the core opened (a new extrusion or surface, Edit
  // Geometry) gets its window, brought forward when it moved to another
  // group.
  void followProfileEditors();
  // The visual browser for the texture panel, on the process's thumbnails.
  void openTextureBrowser(const QString& folder, UserPrompts::Chosen chosen);
  QAction* makeAction(const QString& name, const QString& text, const QString& tip = QString());
  // The action of a command of the core's table, which runs it.
  QAction* commandAction(CommandId id);

  PlaybackClock playback_;
  std::unique_ptr<UserPrompts> ownPrompts_;
  std::unique_ptr<GuiDocument> document_;

  QSplitter* splitter_ = nullptr;
  QStackedWidget* panels_ = nullptr;
  std::array<ControlPanel*, kEditModeCount> panelOf_{};
  COglView* view_ = nullptr;
  AnimationBar* animationBar_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::array<QAction*, 4> recent_{};

  // The actions of the core's commands, which updateActions sets from the
  // core's enabled and checked rules.
  std::vector<std::pair<CommandId, QAction*>> commands_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* toolBarShown_ = nullptr;
  QAction* statusBarShown_ = nullptr;
  std::array<QAction*, kEditModeCount> modes_{};
  QActionGroup* modeGroup_ = nullptr;
  RenderController* render_ = nullptr;
  QPointer<SplineEditorWindow> splineEditor_;
  QPointer<CBrowse> browser_;
  // Made when the browser first opens; the cache stays open after.
  std::unique_ptr<ThumbnailService> thumbnails_;
  QPointer<ProfileEditorWindow> extEditor_;
  QPointer<ProfileEditorWindow> surfEditor_;
  int extGroup_ = -1, surfGroup_ = -1;  // what the editors showed at the last notice
};

}  // namespace modra
