// The editor's side of the document: owns the core's edit session (the
// document, its history and everything that edits it), speaks for it as
// its Shell (questions and messages go through UserPrompts), asks for the
// files of the File menu, and tells the window what changed through one
// `changed` signal, coalesced so that a burst of notices costs one
// refresh. Every refresh comes from the core's notices.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

#include "app/user_prompts.h"
#include "edit/edit_session.h"
#include "geometry/triangulate_settings.h"
#include "images/gl_texture_upload.h"

namespace modra {

class GuiDocument : public QObject, public Shell {
  Q_OBJECT
 public:
  explicit GuiDocument(UserPrompts& prompts,
                       const triangulation::DebugSettings& triangulatorDebug = {},
                       QObject* parent = nullptr);

  EditSession& session() { return session_; }
  const EditSession& session() const { return session_; }
  Document& doc() { return session_.doc(); }
  const Document& doc() const { return session_.doc(); }
  History& history() { return session_.history(); }
  UserPrompts& prompts() { return *prompts_; }
  // Runs a command of the core's table.
  int run(CommandId id, const CommandArgs& args = {}) { return session_.Run(id, args); }
  int run(CommandId id, int index) { return session_.Run(id, index); }
  bool undo() { return session_.Undo(); }
  bool redo() { return session_.Redo(); }

  // Shell.
  void Message(std::string_view text) override;
  bool Ask(std::string_view question) override;
  void ShowFrameNumber(int frame) override;
  void RequestRedraw() override;
  void Changed(unsigned what) override;

  QString title() const;
  // The current group's name, or "Nothing Selected".
  QString groupNameText() const;
  int shownFrame() const { return shownFrame_; }
  // A notice is on its way to the window, which has not refreshed yet.
  bool refreshPending() const { return pending_ != 0; }

  // The File menu's commands with their questions and dialogs. Each
  // returns true when it did its work, false when the user said No or
  // cancelled, or the work failed (after its message).
  bool newScene();
  bool open();
  // Open without the dialog (recent files, dropped files, the command
  // line); still asks before erasing unsaved work.
  bool openFile(const QString& path);
  bool append();
  bool appendFile(const QString& path);
  bool loadMaterial();
  bool save();
  bool saveAs();
  bool saveAsSource();
  bool exportWavefront();
  bool exportStl();
  bool exportGltf();
  bool exportSkyloom();
  // Asks before quitting with unsaved work; true when the program may go.
  bool mayQuit();

 signals:
  void changed(unsigned what);
  // The picture alone is out of date (a pick drew over it); what the
  // panels and boxes show is told through `changed`.
  void redrawRequested();
  // A file was read into the document (for the recent-file list).
  void fileOpened(const QString& path);

 private:
  void followDocumentFolder();
  bool load(const QString& path);
  bool writeTo(CommandId id, const char* filter);

  UserPrompts* prompts_;
  GlTextureUpload upload_;
  EditSession session_{*this};
  int shownFrame_ = 0;
  unsigned pending_ = 0;
  QTimer delay_;
};

}  // namespace modra
