#include "app/gui_document.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>

#include "anim/playback.h"
#include "document/animation_bar.h"
#include "document/file_commands.h"
#include "document/file_filters.h"
#include "document/file_names.h"
#include "document/group_edit.h"
#include "export/gfx_writer.h"
#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "formats/obj_writer.h"
#include "images/texture_table.h"
#include "nativefile/source_writer.h"

namespace modra {

namespace {

QString Filter(const char* filter) {
  return QString::fromStdString(QtFilterString(filter));
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString& text) {
  return text.toStdString();
}

// Loading shows the wait cursor; loads are short enough for it.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

GuiDocument::GuiDocument(UserPrompts& prompts,
                         const triangulation::DebugSettings& triangulatorDebug, QObject* parent)
    : QObject(parent), prompts_(&prompts), doc_(*this) {
  doc_.uploader = &upload_;
  doc_.scene.triangulatorDebug = triangulatorDebug;
  AddTexture(doc_, "", "Checker");
  delay_.setSingleShot(true);
  delay_.setInterval(0);
  connect(&delay_, &QTimer::timeout, this, [this] {
    const unsigned what = pending_;
    pending_ = 0;
    if (what) emit changed(what);
  });
}

void GuiDocument::Message(std::string_view text) {
  prompts_->message(FromUtf8(text));
}

bool GuiDocument::Ask(std::string_view question) {
  return prompts_->ask(FromUtf8(question));
}

// The name box reads the current group from the scene on every selection
// notice, which the core sends with each change of the selection.
void GuiDocument::Status(std::string_view) {}

void GuiDocument::ShowFrameNumber(int frame) {
  shownFrame_ = frame;
  notify(kFrameChanged);
}

void GuiDocument::RequestRedraw() {
  emit redrawRequested();
}

void GuiDocument::Changed(unsigned what) {
  notify(what);
}

void GuiDocument::notify(unsigned what) {
  pending_ |= what;
  if (!delay_.isActive()) delay_.start();
}

QString GuiDocument::title() const {
  return QString::fromStdString(WindowTitle(doc_.name));
}

QString GuiDocument::groupNameText() const {
  return QString::fromStdString(NameBoxText(doc_.scene));
}

void GuiDocument::GestureRecorder::BeginEdit(std::string_view name) {
  if (pressed_ && !open_) {
    history_.Begin(name);
    open_ = true;
  }
  history_.Begin(name);
}

void GuiDocument::GestureRecorder::release() {
  pressed_ = false;
  if (open_) {
    open_ = false;
    history_.End();
  }
}

void GuiDocument::beginGesture() {
  gesture_.press();
}

void GuiDocument::endGesture() {
  gesture_.release();
  notify(kValuesChanged);  // the Edit menu names the step just made
}

bool GuiDocument::undo() {
  if (!history_.Undo()) return false;
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kEverythingChanged);
  return true;
}

bool GuiDocument::redo() {
  if (!history_.Redo()) return false;
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kEverythingChanged);
  return true;
}

bool GuiDocument::mayErase() {
  return MayEraseScene(doc_);
}

bool GuiDocument::newScene() {
  if (!mayErase()) return false;
  NewDocument(doc_);
  history_.Clear();
  shownFrame_ = 0;
  notify(kEverythingChanged);
  return true;
}

bool GuiDocument::open() {
  if (!mayErase()) return false;
  const QString path = prompts_->openFileName(Filter(kModelFilesFilter));
  return !path.isEmpty() && load(path);
}

bool GuiDocument::openFile(const QString& path) {
  return mayErase() && load(path);
}

bool GuiDocument::load(const QString& path) {
  int result;
  {
    const WaitCursor wait;
    result = OpenDocument(doc_, ToStd(path));
  }
  // Even a failed open has erased the scene it replaced.
  history_.Clear();
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kEverythingChanged);
  if (result != 0) return false;
  emit fileOpened(path);
  return true;
}

bool GuiDocument::append() {
  const QString path = prompts_->openFileName(Filter(kModelFilesFilter));
  return !path.isEmpty() && appendFile(path);
}

bool GuiDocument::appendFile(const QString& path) {
  int result;
  {
    const WaitCursor wait;
    HistoryStep step(history_, "Append " + QFileInfo(path).fileName().toStdString());
    result = ReadModelFile(doc_, ToStd(path), true);
    MarkModified(doc_);
  }
  notify(kEverythingChanged);
  return result == 0;
}

bool GuiDocument::loadMaterial() {
  const QString path = prompts_->openFileName(Filter(kMaterialFilter));
  if (path.isEmpty()) return false;
  int result;
  step("Load Wavefront Material", [&] { result = LoadWavefrontMaterials(doc_, ToStd(path)); });
  notify(kValuesChanged);
  return result == 0;
}

bool GuiDocument::save() {
  const SaveResult result = SaveDocument(doc_);
  if (result == SaveResult::kSaved) history_.MarkSaved();
  // Writing rewinds to frame 0.
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kNameChanged | kFrameChanged | kValuesChanged);
  return result == SaveResult::kSaved;
}

bool GuiDocument::writeWith(int (*writer)(Document&, const std::string&), const char* filter,
                            const char* extension, bool reportFailure) {
  const QString chosen = prompts_->saveFileName(Filter(filter));
  if (chosen.isEmpty()) return false;
  const std::string path = WithExtension(ToStd(chosen), extension);
  const int result = writer(doc_, path);
  if (result != 0 && reportFailure) {
    Message("Can't save to " + path);
  }
  notify(kValuesChanged | kFrameChanged);
  return result == 0;
}

bool GuiDocument::saveAs() {
  // Offered under the document's own name, with the ending the dialog adds
  // before it asks about replacing a file.
  const QString chosen =
      prompts_->saveFileNameFor(Filter(kNativeFilter), QString::fromStdString(doc_.name));
  if (chosen.isEmpty()) return false;
  const SaveResult result = SaveDocumentAs(doc_, ToStd(chosen));
  if (result == SaveResult::kSaved) history_.MarkSaved();
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kNameChanged | kFrameChanged | kValuesChanged);
  return result == SaveResult::kSaved;
}

bool GuiDocument::saveAsSource() {
  return writeWith(&WriteSourceFile, kSourceFilter, kSourceExtension, false);
}

bool GuiDocument::exportWavefront() {
  return writeWith(&WriteWavefrontFile, kWavefrontFilter, kWavefrontExtension, true);
}

bool GuiDocument::exportSkyloom() {
  return writeWith(&WriteSkyloomFile, kSkyLoomFilter, kSkyLoomExtension, true);
}

bool GuiDocument::mayQuit() {
  return MayQuit(doc_);
}

QString GuiDocument::frameBoxEdited(const QString& text) {
  const std::optional<std::string> shown = EditFrameBox(doc_, ToStd(text));
  notify(kFrameChanged | kValuesChanged);
  return shown ? QString::fromStdString(*shown) : QString();
}

QString GuiDocument::nameBoxEdited(const QString& text) {
  std::optional<std::string> shown;
  step("Rename", [&] { shown = EditNameBox(doc_, ToStd(text)); });
  return shown ? QString::fromStdString(*shown) : QString();
}

void GuiDocument::advancePlayback(int count) {
  if (!doc_.scene.anim.playing) return;
  for (int i = 0; i < count; ++i)
    PlayStep(doc_);
  notify(kFrameChanged | kValuesChanged);
}

}  // namespace modra
