// The editor's side of the document: owns the core's Document, speaks for
// it as its Shell (questions and messages go through UserPrompts), runs the
// file commands with their prompts and filters, and tells the window what
// changed through one `changed` signal, coalesced so that a burst of
// notices costs one refresh.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

#include "app/user_prompts.h"
#include "document/document.h"
#include "edit/edit_layer.h"
#include "edit/history.h"
#include "geometry/triangulate_settings.h"
#include "images/gl_texture_upload.h"

namespace modra {

class GuiDocument : public QObject, public Shell {
  Q_OBJECT
 public:
  explicit GuiDocument(UserPrompts& prompts,
                       const triangulation::DebugSettings& triangulatorDebug = {},
                       QObject* parent = nullptr);

  Document& doc() { return doc_; }
  const Document& doc() const { return doc_; }
  UserPrompts& prompts() { return *prompts_; }
  // What every panel edit goes through.
  EditLayer& editLayer() { return editLayer_; }
  // Undo and redo. Every command that changes the document runs inside a
  // step (step() or the edit layer); a drag of the view is one step from
  // press to release.
  History& history() { return history_; }
  template <class Fn>
  void step(std::string_view name, Fn&& command) {
    history_.Record(name, command);
  }
  void beginGesture();
  void endGesture();
  bool undo();
  bool redo();

  // Shell.
  void Message(std::string_view text) override;
  bool Ask(std::string_view question) override;
  void Status(std::string_view text) override;
  void ShowFrameNumber(int frame) override;
  void RequestRedraw() override;
  void Changed(unsigned what) override;

  // Queues `what` (Change bits) for the next `changed` signal.
  void notify(unsigned what);

  QString title() const;
  // The current group's name, or "Nothing Selected".
  QString groupNameText() const;
  int shownFrame() const { return shownFrame_; }

  // The File menu. Each returns true when it did its work, false when the
  // user said No or cancelled, or the work failed (after its message).
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
  bool exportSkyloom();
  // Asks before quitting with unsaved work; true when the program may go.
  bool mayQuit();

  // The animation bar's boxes, typed into by the user. Returns the text
  // the box is to show instead, or a null string to leave it.
  QString frameBoxEdited(const QString& text);
  QString nameBoxEdited(const QString& text);

  // Playback's frames, as the clock hands them out.
  void advancePlayback(int count);

 signals:
  void changed(unsigned what);
  // The picture alone is out of date (a view moved, a display switch);
  // what the panels and boxes show is told through `changed`.
  void redrawRequested();
  // A file was read into the document (for the recent-file list).
  void fileOpened(const QString& path);

 private:
  bool mayErase();
  bool load(const QString& path);
  bool writeWith(int (*writer)(Document&, const std::string&), const char* filter,
                 const char* extension, bool reportFailure);

  UserPrompts* prompts_;
  GlTextureUpload upload_;
  Document doc_;
  // The drag in progress: edits made while a button is held join the step
  // that the first of them opened.
  class GestureRecorder : public EditRecorder {
   public:
    explicit GestureRecorder(History& history) : history_(history) {}
    void BeginEdit(std::string_view name) override;
    void EndEdit() override { history_.End(); }
    void press() { pressed_ = true; }
    void release();

   private:
    History& history_;
    bool pressed_ = false, open_ = false;
  };
  History history_{doc_};
  GestureRecorder gesture_{history_};
  EditLayer editLayer_{doc_, &gesture_};
  int shownFrame_ = 0;
  unsigned pending_ = 0;
  QTimer delay_;
};

}  // namespace modra
