#include "app/gui_document.h"

#include <QApplication>
#include <QCursor>

#include "anim/playback.h"
#include "app/shell_glue.h"
#include "document/group_edit.h"
#include "export/gfx_writer.h"
#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "formats/obj_writer.h"
#include "images/texture_table.h"
#include "nativefile/native_writer.h"
#include "nativefile/source_writer.h"

namespace modra {

namespace {

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
  status_ = QString::fromLatin1(kNothingSelected);
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

void GuiDocument::Status(std::string_view text) {
  status_ = FromUtf8(text);
  notify(kSelectionChanged);
}

void GuiDocument::ShowFrameNumber(int frame) {
  shownFrame_ = frame;
  notify(kFrameChanged);
}

void GuiDocument::RequestRedraw() {
  notify(kValuesChanged);
}

void GuiDocument::notify(unsigned what) {
  pending_ |= what;
  if (!delay_.isActive()) delay_.start();
}

QString GuiDocument::title() const {
  return QString::fromStdString(glue::TitleText(doc_.name));
}

QString GuiDocument::groupNameText() const {
  const Scene& s = doc_.scene;
  const int g = s.selectedGroup;
  if (g < 0 || static_cast<size_t>(g) >= s.groups.size() || (s.groups[g].flags & Deleted))
    return QString::fromLatin1(kNothingSelected);
  return QString::fromStdString(s.groups[g].name);
}

bool GuiDocument::mayErase() {
  return !doc_.modified || Ask(glue::kEraseQuestion);
}

bool GuiDocument::newScene() {
  if (!mayErase()) return false;
  doc_.name = "new.knf";
  ResetScene(doc_, false);
  doc_.modified = false;
  status_ = QString::fromLatin1(kNothingSelected);
  shownFrame_ = 0;
  notify(kAllChanges);
  return true;
}

bool GuiDocument::open() {
  if (!mayErase()) return false;
  const QString path = prompts_->openFileName(QString::fromStdString(glue::ToQtFilter(glue::kFilterModels)));
  return !path.isEmpty() && load(path);
}

bool GuiDocument::openFile(const QString& path) {
  return mayErase() && load(path);
}

bool GuiDocument::load(const QString& path) {
  int result;
  {
    const WaitCursor wait;
    result = OpenModelFile(doc_, ToStd(path));
    // The document keeps the name even when the file could not be read:
    // a later Save must never write over the foreign file.
    doc_.name = glue::NativeNameFor(ToStd(path));
  }
  status_ = groupNameText();
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kAllChanges);
  if (result != 0) return false;
  emit fileOpened(path);
  return true;
}

bool GuiDocument::append() {
  const QString path = prompts_->openFileName(QString::fromStdString(glue::ToQtFilter(glue::kFilterModels)));
  return !path.isEmpty() && appendFile(path);
}

bool GuiDocument::appendFile(const QString& path) {
  int result;
  {
    const WaitCursor wait;
    result = ReadModelFile(doc_, ToStd(path), true);
    MarkModified(doc_);
  }
  notify(kAllChanges);
  return result == 0;
}

bool GuiDocument::loadMaterial() {
  const QString path = prompts_->openFileName(QString::fromStdString(glue::ToQtFilter(glue::kFilterMaterial)));
  if (path.isEmpty()) return false;
  const int result = LoadWavefrontMaterials(doc_, ToStd(path));
  notify(kValuesChanged);
  return result == 0;
}

bool GuiDocument::save() {
  const int result = WriteNativeFile(doc_, doc_.name);
  if (result == 0) doc_.modified = false;
  shownFrame_ = doc_.scene.anim.currentFrame;
  notify(kNameChanged | kFrameChanged | kValuesChanged);
  return result == 0;
}

bool GuiDocument::writeWith(int (*writer)(Document&, const std::string&), const char* filter,
                            const char* extension, bool reportFailure) {
  const QString chosen = prompts_->saveFileName(QString::fromStdString(glue::ToQtFilter(filter)));
  if (chosen.isEmpty()) return false;
  const std::string path = glue::WithExtension(ToStd(chosen), extension);
  const int result = writer(doc_, path);
  if (result != 0 && reportFailure) {
    std::string text = glue::kSaveFailed;
    text.replace(text.find("%s"), 2, path);
    Message(text);
  }
  notify(kValuesChanged | kFrameChanged);
  return result == 0;
}

bool GuiDocument::saveAs() {
  if (!writeWith(&WriteNativeFile, glue::kFilterNative, ".knf", false)) return false;
  doc_.modified = false;
  notify(kNameChanged);
  return true;
}

bool GuiDocument::saveAsSource() {
  return writeWith(&WriteSourceFile, glue::kFilterSource, ".cpp", false);
}

bool GuiDocument::exportWavefront() {
  return writeWith(&WriteWavefrontFile, glue::kFilterWavefront, ".obj", true);
}

bool GuiDocument::exportSkyloom() {
  return writeWith(&WriteSkyloomFile, glue::kFilterSkyloom, ".gfx", true);
}

bool GuiDocument::mayQuit() {
  return !doc_.modified || Ask(glue::kQuitQuestion);
}

QString GuiDocument::frameBoxEdited(const QString& text) {
  const auto request = glue::ReadFrameBox(ToStd(text), doc_.scene.anim.currentFrame);
  if (!request) return QString();
  GoToFrame(doc_, request->frame);
  notify(kFrameChanged | kValuesChanged);
  return request->rewrite ? QString::number(request->frame) : QString();
}

QString GuiDocument::nameBoxEdited(const QString& text) {
  Scene& s = doc_.scene;
  const int g = s.selectedGroup;
  if (g < 0 || static_cast<size_t>(g) >= s.groups.size() || (s.groups[g].flags & Deleted))
    return QString::fromLatin1(kNothingSelected);
  SetGroupName(s, g, glue::NameFromBox(ToStd(text)));
  MarkModified(doc_);
  status_ = groupNameText();
  notify(kNameChanged | kSceneChanged);
  return QString();
}

void GuiDocument::advancePlayback(int count) {
  if (!doc_.scene.anim.playing) return;
  for (int i = 0; i < count; ++i)
    PlayStep(doc_);
  notify(kFrameChanged | kValuesChanged);
}

}  // namespace modra
