// Every question the editor puts to the user goes through this seam, so
// that tests answer from a script instead of clicking at modal dialogs.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace modra {

class PlaybackClock;

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // Where the file dialogs open when nothing else names a folder: the
  // current document's, so that its neighbours are at hand ("" for the
  // working folder).
  void setStartFolder(const QString& folder) { startFolder_ = folder; }
  const QString& startFolder() const { return startFolder_; }
  // A modal message box with the text exactly as given.
  virtual void message(const QString& text) = 0;
  // A Yes/No question with the question icon; true for Yes.
  virtual bool ask(const QString& question) = 0;
  // A file to read or to write; empty when the user cancels. `filter` is
  // in Qt's form (";;"-separated name filters).
  virtual QString openFileName(const QString& filter) = 0;
  // A file to read, the dialog opening in `folder` ("" the current one).
  virtual QString openFileNameIn(const QString& filter, const QString& folder) {
    (void)folder;
    return openFileName(filter);
  }
  virtual QString saveFileName(const QString& filter) = 0;
  // A file to write, offered first as `suggestedName`, whose extension is
  // added when the user types a name without one.
  virtual QString saveFileNameFor(const QString& filter, const QString& suggestedName) {
    (void)suggestedName;
    return saveFileName(filter);
  }
  // As saveFileNameFor (`suggestedName` may be empty), for the document's
  // saves: the dialog does not ask about replacing a file, since the core
  // asks once it knows the name it will write, ending and all.
  virtual QString fileToWrite(const QString& filter, const QString& suggestedName) {
    return saveFileNameFor(filter, suggestedName);
  }

  // A picture to use as a texture, browsed for from `folder`; `chosen`
  // hears its path when the user picks one, or "" when they cancel,
  // perhaps long after this returns. The window sets up the browser.
  using Chosen = std::function<void(const QString& path)>;
  using TextureBrowser = std::function<void(const QString& folder, Chosen chosen)>;
  void setTextureBrowser(TextureBrowser browser) { textureBrowser_ = std::move(browser); }
  virtual void chooseTexture(const QString& folder, Chosen chosen);

 protected:
  // The plain file dialog's way of choosing, where no browser is set up.
  void chooseTextureFile(const QString& folder, const Chosen& chosen);

 private:
  QString startFolder_;
  TextureBrowser textureBrowser_;
};

// Message boxes and file dialogs over `parent`; playback pauses while one
// is open.
class DialogPrompts : public UserPrompts {
 public:
  DialogPrompts(QWidget* parent, PlaybackClock* playback) : parent_(parent), playback_(playback) {}
  void message(const QString& text) override;
  bool ask(const QString& question) override;
  QString openFileName(const QString& filter) override;
  QString openFileNameIn(const QString& filter, const QString& folder) override;
  QString saveFileName(const QString& filter) override;
  QString saveFileNameFor(const QString& filter, const QString& suggestedName) override;
  QString fileToWrite(const QString& filter, const QString& suggestedName) override;

 private:
  QWidget* parent_;
  PlaybackClock* playback_;
};

}  // namespace modra
