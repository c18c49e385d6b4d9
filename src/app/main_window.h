// The main window: menus, tool bar, animation bar, status bar, and the
// splitter with the panel of the current edit mode beside the 3D view.
// Actions are made once; updateActions() alone sets what they show.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "anim/key_range_commands.h"
#include "app/gui_document.h"
#include "app/playback_clock.h"
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
  ViewInteraction& interaction() { return *interaction_; }
  int editMode() const { return static_cast<int>(interaction_->Mode()); }
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
  void applySettings();
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
  QAction* makeAction(const QString& name, const QString& text, const QString& tip = QString());

  PlaybackClock playback_;
  std::unique_ptr<UserPrompts> ownPrompts_;
  std::unique_ptr<GuiDocument> document_;
  std::unique_ptr<ViewInteraction> interaction_;

  QSplitter* splitter_ = nullptr;
  QStackedWidget* panels_ = nullptr;
  std::array<ControlPanel*, kEditModeCount> panelOf_{};
  COglView* view_ = nullptr;
  AnimationBar* animationBar_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::array<QAction*, 4> recent_{};

  // Actions that updateActions sets.
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* group_ = nullptr;
  QAction* ungroup_ = nullptr;
  QAction* reverseNormals_ = nullptr;
  QAction* cutKey_ = nullptr;
  QAction* toolBarShown_ = nullptr;
  QAction* statusBarShown_ = nullptr;
  std::array<QAction*, 3> displayModes_{};
  QAction* showNormals_ = nullptr;
  QAction* hideNormals_ = nullptr;
  std::array<QAction*, kEditModeCount> modes_{};
  QActionGroup* modeGroup_ = nullptr;
  RenderController* render_ = nullptr;
};

}  // namespace modra
