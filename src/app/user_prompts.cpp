#include "app/user_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/playback_clock.h"

namespace modra {

namespace {

// Qt's own dialog everywhere, so that the filters look the same on every
// desktop.
constexpr QFileDialog::Options kDialogOptions = QFileDialog::DontUseNativeDialog;

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
  return QFileDialog::getOpenFileName(parent_, QString(), QString(), filter, nullptr,
                                      kDialogOptions);
}

QString DialogPrompts::saveFileName(const QString& filter) {
  const PlaybackClock::Pause pause(playback_);
  return QFileDialog::getSaveFileName(parent_, QString(), QString(), filter, nullptr,
                                      kDialogOptions);
}

}  // namespace modra
