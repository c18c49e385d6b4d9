// The frame of a profile editor: menus, tool bar, status bar, the control
// bar of fields and check boxes, and the drawing window. It only binds:
// menu items, fields and boxes run the core's profile commands, and the
// window shows what the editor in the edit session holds whenever the
// document says it changed. The two editors differ only in their layout.
#pragma once

#include <QMainWindow>
#include <string_view>
#include <vector>

#include "edit/profile_commands.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace modra {

class GuiDocument;
class ProfileEditorView;

// What sets one editor apart from the other.
struct ProfileEditorLayout {
  ProfileEditorKind kind;
  const char* name;   // object names start with it
  const char* title;  // after the file name in the title bar
  CommandId newFile, openFile, saveFile, saveFileAs;
  bool holes;  // "Add Hole" and "Remove Hole"
  // The number fields of the control bar before Point X / Point Y, which
  // are also the numeric choices of "3D View Mouse Control", in order.
  std::vector<std::pair<const char*, ProfileField>> numbers;
  ProfileField pointX, pointY;
  // Check boxes besides "Current Point is a Corner": text, command and
  // index; `boxTitle` groups those after it in a titled box.
  struct Check {
    const char* text;
    CommandId command;
    int index;
    const char* boxTitle;
  };
  std::vector<Check> checks;
  std::string_view help;
};

class ProfileEditorWindow : public QMainWindow {
  Q_OBJECT
 public:
  ProfileEditorWindow(GuiDocument& document, ProfileEditorLayout layout, QWidget* parent);

  ProfileEditorKind kind() const { return layout_.kind; }
  ProfileEditorView* view() const { return view_; }
  QLineEdit* field(ProfileField f) const;

  // "D&one": the editor lets go of its group and the window closes.
  void done();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createMenus();
  void createControlBar();
  void bindEvents();
  void documentChanged(unsigned what);
  // Shows what the editor holds: fields, boxes, title and picture.
  void refresh();
  // A field whose text is no number the field reads is marked.
  void markField(QLineEdit* edit, ProfileField f);
  int commandIndex() const;
  void run(CommandId id, int index = 0);
  void openProfile();
  void saveProfileAs();
  void showHelp();
  bool editorOpen() const;
  std::string fileName() const;

  GuiDocument& document_;
  ProfileEditorLayout layout_;
  ProfileEditorView* view_ = nullptr;
  std::vector<std::pair<ProfileField, QLineEdit*>> fields_;
  QCheckBox* corner_ = nullptr;
  std::vector<QCheckBox*> checks_;
  QCheckBox* snap_ = nullptr;
  QButtonGroup* mouse_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* pointer_ = nullptr;
  bool closing_ = false;
};

// The extrusion editor and the surface of revolution editor.
class CExtEditorWnd : public ProfileEditorWindow {
  Q_OBJECT
 public:
  explicit CExtEditorWnd(GuiDocument& document, QWidget* parent = nullptr);
};

class CSurfEditWnd : public ProfileEditorWindow {
  Q_OBJECT
 public:
  explicit CSurfEditWnd(GuiDocument& document, QWidget* parent = nullptr);
};

}  // namespace modra
