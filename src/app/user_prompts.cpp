#include "app/user_prompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/playback_clock.h"
#include "document/file_filters.h"

namespace modra {

void UserPrompts::chooseTexture(const QString& folder, Chosen chosen) {
  if (textureBrowser_)
    textureBrowser_(folder, std::move(chosen));
  else
    chooseTextureFile(folder, chosen);
}

void UserPrompts::chooseTextureFile(const QString& folder, const Chosen& chosen) {
  chosen(openFileNameIn(QString::fromStdString(QtFilterString(kTextureFilter)), folder));
}

namespace {

// Qt's own dialog everywhere, so that the filters look the same on every
// desktop.
constexpr QFileDialog::Options kDialogOptions = QFileDialog::DontUseNativeDialog;

// A file to write, offered as `suggestedName` (none when empty), whose
// ending is added when the user types a name without one.
QString AskForFileToWrite(QWidget* parent, PlaybackClock* playback, const QString& filter,
                          const QString& suggestedName, const QString& folder,
                          QFileDialog::Options options) {
  const PlaybackClock::Pause pause(playback);
  QFileDialog dialog(parent, QString(), folder, filter);
  dialog.setOptions(options);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QFileInfo(suggestedName).suffix());
  if (!suggestedName.isEmpty()) dialog.selectFile(suggestedName);
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? dialog.selectedFiles().constFirst()
             : QString();
}

}  // namespace

void DialogPrompts::message(const QString& text) {
  const PlaybackClock::Pause pause(playback_);
  QMessageBox::warning(parent_, QStringLiteral("Modra"), text);
}

bool DialogPrompts::ask(const QString& question) {
  const PlaybackClock::Pause pause(playback_);
  return QMessageBox::question(parent_, QStringLiteral("Modra"), question,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

QString DialogPrompts::openFileName(const QString& filter) {
  const PlaybackClock::Pause pause(playback_);
  return QFileDialog::getOpenFileName(parent_, QString(), startFolder(), filter, nullptr,
                                      kDialogOptions);
}

QString DialogPrompts::openFileNameIn(const QString& filter, const QString& folder) {
  const PlaybackClock::Pause pause(playback_);
  return QFileDialog::getOpenFileName(parent_, QString(), folder.isEmpty() ? startFolder() : folder,
                                      filter, nullptr, kDialogOptions);
}

QString DialogPrompts::saveFileName(const QString& filter) {
  const PlaybackClock::Pause pause(playback_);
  return QFileDialog::getSaveFileName(parent_, QString(), startFolder(), filter, nullptr,
                                      kDialogOptions);
}

QString DialogPrompts::saveFileNameFor(const QString& filter, const QString& suggestedName) {
  return AskForFileToWrite(parent_, playback_, filter, suggestedName, startFolder(),
                           kDialogOptions);
}

QString DialogPrompts::fileToWrite(const QString& filter, const QString& suggestedName) {
  return AskForFileToWrite(parent_, playback_, filter, suggestedName, startFolder(),
                           kDialogOptions | QFileDialog::DontConfirmOverwrite);
}

}  // namespace modra
