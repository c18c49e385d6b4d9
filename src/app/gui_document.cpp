#include "app/gui_document.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>

#include "document/animation_bar.h"
#include "document/file_commands.h"
#include "document/file_filters.h"
#include "document/file_names.h"
#include "images/texture_table.h"

namespace modra {

namespace {

QString Filter(const char* filter) {
  return QString::fromStdString(QtFilterString(filter));
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

CommandArgs PathArgs(const QString& path) {
  return TextArgs(path.toStdString());
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
    : QObject(parent), prompts_(&prompts) {
  Document& d = doc();
  d.uploader = &upload_;
  d.scene.triangulatorDebug = triangulatorDebug;
  AddTexture(d, "", "Checker");
  followDocumentFolder();
  // The document as it starts is the history's start.
  session_.history().Clear();
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

void GuiDocument::ShowFrameNumber(int frame) {
  shownFrame_ = frame;
  Changed(kFrameChanged);
}

void GuiDocument::RequestRedraw() {
  emit redrawRequested();
}

void GuiDocument::Changed(unsigned what) {
  if (what & kNameChanged) followDocumentFolder();
  pending_ |= what;
  if (!delay_.isActive()) delay_.start();
}

void GuiDocument::followDocumentFolder() {
  const QFileInfo file(QString::fromStdString(doc().name));
  // A name without a folder (a new scene's) leaves the dialogs where they are.
  prompts_->setStartFolder(file.path() == QLatin1String(".") ? QString() : file.absolutePath());
}

QString GuiDocument::title() const {
  return QString::fromStdString(WindowTitle(doc().name));
}

QString GuiDocument::groupNameText() const {
  return QString::fromStdString(NameBoxText(doc().scene));
}

bool GuiDocument::newScene() {
  return MayEraseScene(doc()) && run(CommandId::kNew) == 0;
}

bool GuiDocument::open() {
  if (!MayEraseScene(doc())) return false;
  const QString path = prompts_->openFileName(Filter(kModelFilesFilter));
  return !path.isEmpty() && load(path);
}

bool GuiDocument::openFile(const QString& path) {
  return MayEraseScene(doc()) && load(path);
}

bool GuiDocument::load(const QString& path) {
  int result;
  {
    const WaitCursor wait;
    result = run(CommandId::kOpen, PathArgs(path));
  }
  if (result != 0) return false;
  emit fileOpened(path);
  return true;
}

bool GuiDocument::append() {
  const QString path = prompts_->openFileName(Filter(kModelFilesFilter));
  return !path.isEmpty() && appendFile(path);
}

bool GuiDocument::appendFile(const QString& path) {
  const WaitCursor wait;
  return run(CommandId::kAppend, PathArgs(path)) == 0;
}

bool GuiDocument::loadMaterial() {
  const QString path = prompts_->openFileName(Filter(kMaterialFilter));
  return !path.isEmpty() && run(CommandId::kLoadMaterial, PathArgs(path)) == 0;
}

bool GuiDocument::save() {
  return run(CommandId::kSave) == 0;
}

// The dialogs leave the question about replacing a file to the command,
// which asks it about the name it writes, ending and all.
bool GuiDocument::saveAs() {
  const QString chosen =
      prompts_->fileToWrite(Filter(kNativeFilter), QString::fromStdString(doc().name));
  return !chosen.isEmpty() && run(CommandId::kSaveAs, PathArgs(chosen)) == 0;
}

bool GuiDocument::writeTo(CommandId id, const char* filter) {
  const QString chosen = prompts_->fileToWrite(Filter(filter), QString());
  return !chosen.isEmpty() && run(id, PathArgs(chosen)) == 0;
}

bool GuiDocument::saveAsSource() {
  return writeTo(CommandId::kSaveAsSource, kSourceFilter);
}

bool GuiDocument::exportWavefront() {
  return writeTo(CommandId::kExportWavefront, kWavefrontFilter);
}
bool GuiDocument::exportGltf() {
  return writeTo(CommandId::kExportGltf, kGltfFilter);
}

bool GuiDocument::exportStl() {
  return writeTo(CommandId::kExportStl, kStlFilter);
}

bool GuiDocument::exportSkyloom() {
  return writeTo(CommandId::kExportSkyloom, kSkyLoomFilter);
}

bool GuiDocument::mayQuit() {
  return MayQuit(doc());
}

}  // namespace modra
