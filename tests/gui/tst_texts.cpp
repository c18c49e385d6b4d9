// The program's own texts where the program shows them: the window's title
// and menus, the animation bar, every panel, the key frame and render
// dialogs and the questions and messages they lead to, word for word; an
// accelerator letter of its own for every item of a menu; and built-in
// help that tells what the program does.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>

#include "app/about_dialog.h"
#include "app/animation_bar.h"
#include "app/form_create.h"
#include "app/gui_document.h"
#include "app/help_dialog.h"
#include "app/key_range_dialogs.h"
#include "app/main_window.h"
#include "app/preferences_dialog.h"
#include "app/render_options_dialog.h"
#include "document/help_text.h"
#include "gui_test.h"

namespace modra::test {

namespace {

// A menu item's text as read: without its accelerator mark.
QString Plain(QString text) {
  return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
      .remove('&')
      .replace('\x01', '&');
}

// The letter after the accelerator mark, lower case; none without one.
QChar Accelerator(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1].toLower();
    ++i;
  }
  return {};
}

// Every text a window or widget shows: its title as a window, labels,
// buttons, group titles, list entries and field contents; a text of
// several lines also counts line by line.
QStringList ShownTexts(const QWidget* root) {
  QStringList texts;
  auto add = [&texts](const QString& text) {
    if (text.isEmpty()) return;
    texts << text;
    if (text.contains('\n')) texts << text.split('\n');
  };
  if (root->isWindow()) add(ShownTitle(*root));
  QList<const QWidget*> widgets{root};
  for (const QWidget* w : root->findChildren<QWidget*>())
    widgets << w;
  for (const QWidget* w : widgets) {
    if (auto* label = qobject_cast<const QLabel*>(w)) add(label->text());
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) add(Plain(button->text()));
    if (auto* group = qobject_cast<const QGroupBox*>(w)) add(group->title());
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) add(edit->text());
    if (auto* combo = qobject_cast<const QComboBox*>(w))
      for (int i = 0; i < combo->count(); ++i)
        add(combo->itemText(i));
    if (auto* list = qobject_cast<const QListWidget*>(w))
      for (int i = 0; i < list->count(); ++i)
        add(list->item(i)->text());
  }
  return texts;
}

// Letters only, lower case: help text wraps lines and writes "tool bar"
// for the Toolbar item.
QString Squeezed(QString text) {
  text.remove(QRegularExpression(QStringLiteral("[^A-Za-z]")));
  return text.toLower();
}

}  // namespace

class TestTexts : public EditorTest {
  Q_OBJECT
 public:
  TestTexts() : EditorTest(EditorStart::kShown) {}

 private:
  MainWindow& w() { return *window_; }
  GuiDocument& document() { return window_->document(); }
  QAction* action(const char* name) { return w().action(QString::fromLatin1(name)); }
  QMenu* menu(const QString& title) {
    for (QAction* a : w().menuBar()->actions())
      if (Plain(a->text()) == title) return a->menu();
    return nullptr;
  }
  template <typename T>
  T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found) qWarning("no %s", qPrintable(name));
    return found;
  }
  template <typename T>
  T* openDialog() {
    for (T* dialog : w().findChildren<T*>())
      if (dialog->isVisible()) return dialog;
    return nullptr;
  }

  QStringList panelTexts(int mode) {
    w().setEditMode(mode);
    WaitForRefresh(w());
    QStringList texts =
        ShownTexts(child<QStackedWidget>(&w(), "MainWindow_Panels")->currentWidget());
    texts << w().statusBar()->currentMessage();
    return texts;
  }
  // The Create panel after a click on `button`: the size labels, and what
  // the dialog `runs` opens shows (Edit Resolution, 3D Text ...).
  QStringList createTexts(const QString& button, const char* runs = nullptr) {
    w().setEditMode(static_cast<int>(EditMode::kCreateObjects));
    auto* panel = child<CFormCreate>(&w(), "CFormCreate");
    QStringList texts;
    panel->setDialogRunner([&texts](QDialog& dialog) {
      texts << ShownTexts(&dialog);
      return int(QDialog::Rejected);
    });
    QTest::mouseClick(child<QPushButton>(panel, "CFormCreate_" + button), Qt::LeftButton);
    WaitForRefresh(w());
    for (int i = 0; i < 3; ++i)
      texts << child<QLabel>(panel, QStringLiteral("CFormCreate_Label%1").arg(i))->text();
    if (runs) QTest::mouseClick(child<QPushButton>(panel, runs), Qt::LeftButton);
    return texts;
  }
  // A key frame dialog as its menu item opens it, then cancelled.
  QStringList keyDialogTexts(const char* item) {
    action(item)->trigger();
    KeyRangeDialog* dialog = openDialog<KeyRangeDialog>();
    if (!dialog) return {};
    const QStringList texts = ShownTexts(dialog);
    dialog->reject();
    return texts;
  }
  // Runs a key frame dialog from its menu item with frames A, B (and C),
  // for the owner of that radio where it has a choice.
  void runKeyDialog(const char* item, std::initializer_list<int> frames, int owner = 0) {
    action(item)->trigger();
    KeyRangeDialog* dialog = openDialog<KeyRangeDialog>();
    QVERIFY2(dialog, item);
    if (auto* radio =
            dialog->findChild<QRadioButton*>(QStringLiteral("KeyRangeDialog_Owner%1").arg(owner)))
      radio->click();
    const char* names[] = {"KeyRangeDialog_A", "KeyRangeDialog_B", "KeyRangeDialog_C"};
    int i = 0;
    for (int frame : frames)
      child<QLineEdit>(dialog, QLatin1String(names[i++]))->setText(QString::number(frame));
    QTest::mouseClick(child<QPushButton>(dialog, "KeyRangeDialog_Ok"), Qt::LeftButton);
  }
  // The questions and messages of the window, its panels and its key
  // frame dialogs, each brought about as a person would.
  QStringList prompts() {
    prompts_.answers.clear();  // every question answered No
    w().setEditMode(static_cast<int>(EditMode::kCamera));
    QTest::mouseClick(child<QPushButton>(&w(), "Camera_SetLookAt"), Qt::LeftButton);
    prompts_.files << QStringLiteral("/no/such/folder/scene.obj");
    action("ExportWavefront")->trigger();
    // Frames out of range, and frames that are no key frames of a scene
    // without any.
    const int camera = 1;
    runKeyDialog("CopyKeyToRange", {0, 10000}, camera);
    runKeyDialog("CopyKeyToRange", {10000, 0}, camera);
    runKeyDialog("CopyKeyToRange", {0, 5}, camera);
    runKeyDialog("CopyRangeToRange", {0, 0, 10000});
    runKeyDialog("CopyRangeToRange", {3, 5, 10});
    // A block moved at frame 10, that key frame copied, then the block
    // turned there and the copy pasted at frame 20: frame 20 has no turn
    // of the block to copy onto.
    GuiDocument& d = document();
    d.run(CommandId::kCreateBlock);
    d.run(CommandId::kFrameBox, TextArgs("10"));
    d.session().FieldEdited(CommandId::kTranslate, 0, "1.5", true);
    action("CopyKeyFrame")->trigger();
    d.session().FieldEdited(CommandId::kRotate, 0, "30", true);
    d.run(CommandId::kFrameBox, TextArgs("20"));
    action("PasteKeyFrame")->trigger();
    action("PasteKeyFrame")->trigger();  // over keys now
    d.run(CommandId::kFrameBox, TextArgs("10"));
    runKeyDialog("CopyKeyToRange", {10, 20});
    // With the work unsaved:
    action("New")->trigger();
    w().close();
    return prompts_.questions + prompts_.messages;
  }

  QStringList textsOf(const QString& surface) {
    if (surface == "title") return {ShownTitle(w())};
    if (surface == "menu bar") {
      QStringList titles;
      for (QAction* a : w().menuBar()->actions())
        titles << Plain(a->text());
      return titles;
    }
    if (surface.startsWith("menu ")) {
      QStringList items;
      if (QMenu* m = menu(surface.mid(5)))
        for (QAction* a : m->actions())
          items << Plain(a->text());
      return items;
    }
    if (surface == "animation bar") return ShownTexts(child<AnimationBar>(&w(), "AnimationBar"));
    if (surface.startsWith("panel ")) return panelTexts(surface.mid(6).toInt());
    if (surface.startsWith("sizes ")) return createTexts(surface.mid(6));
    if (surface.startsWith("resolution "))
      return createTexts(surface.mid(11), "CFormCreate_EditResolution");
    if (surface == "3D text") return createTexts("Block", "CFormCreate_Text");
    if (surface.startsWith("dialog ")) return keyDialogTexts(qPrintable(surface.mid(7)));
    if (surface == "render options") {
      action("RenderScene")->trigger();
      RenderOptionsDialog* dialog = openDialog<RenderOptionsDialog>();
      if (!dialog) return {};
      const QStringList texts = ShownTexts(dialog);
      dialog->reject();
      return texts;
    }
    // These three block in exec() when their menu items open them.
    if (surface == "preferences") return ShownTexts(std::make_unique<PreferencesDialog>().get());
    if (surface == "help") return ShownTexts(std::make_unique<HelpDialog>(QString()).get());
    if (surface == "about") return ShownTexts(std::make_unique<AboutDialog>().get());
    if (surface == "prompts") return prompts();
    return {};
  }

 private slots:
  void programTexts_data() {
    QTest::addColumn<QString>("surface");
    QTest::addColumn<QStringList>("texts");
    auto row = [](const char* name, const char* surface, const QString& texts) {
      QTest::newRow(name) << QString::fromLatin1(surface) << texts.split('|');
    };
    auto each = [](const QString& p) { return p + "X|" + p + "Y|" + p + "Z"; };
    const QString views = "View Mode|Front|Top|Left|Back|Bottom|Right|Perspective|Camera";
    const QString sliders = "Field of View|Near Clip Plane|Far Clip Plane";
    const QString locks = each("Lock "), turnLocks = each("Lock R");

    row("title", "title", "Modra: new.knf");
    row("menu bar", "menu bar", "File|Edit|View|Animation|Options|Edit Mode|Help");
    row("File", "menu File",
        "New|Open ...|Append ...|Load Wavefront Material|Save|Save As ...|Save As Source ...|"
        "Export to Wavefront ...|Export to STL ...|Export to SkyLoom ...|Export to glTF ...|"
        "Render Scene to File ...|Exit");
    row("Edit", "menu Edit", "Cut|Copy|Paste|Group|Ungroup|Select All|Deselect All");
    row("View", "menu View",
        "Toolbar|Status Bar|Reset View|Wire Frame|Solid|Textured|Show Normals|Hide Normals");
    row("Animation", "menu Animation",
        "Cut Current Key Frame|Copy Current Key Frame|Paste Key Frame|"
        "Remove Key Frame Info ...|Copy Key to Range ...|Copy Keys in Range to Range ...|"
        "Strech/Squeeze Key Frame ...|Edit Spline ...");
    row("Options", "menu Options", "Set General Options ...|Reverse Normals");
    row("Edit Mode", "menu Edit Mode",
        "Selection|Rotate View|Translate View|Translate Object|Rotate Object|"
        "Translate Center|Rotate Center|Color|Create Objects|Texture|Scale Object|Lights|Camera");
    row("Help", "menu Help", "About modra...|General Help ...|Keyboard Short Cuts ..");
    row("animation bar", "animation bar",
        "Name:|Nothing Selected|Prev Key|Stop|Play|Next Key|Frame:");

    row("Selection", "panel 0",
        "Pick an Object|Draw Mode|Enabled|Disabled|Draw Selected As|Normal|Bounding Box|"
        "Disable Display of Selected|Enable Display of Selected");
    row("Rotate View", "panel 1", "Rotate View|" + each("Rotate ") + '|' + sliders + '|' + views);
    row("Translate View", "panel 2",
        "Translate View|" + each("Translate ") + '|' + sliders + '|' + views);
    row("Translate Object", "panel 3",
        "Translate Selected Objects|" + each("Translate ") + '|' + locks);
    row("Rotate Object", "panel 4", "Rotate Selected Objects|" + each("Rotate ") + '|' + turnLocks);
    row("Translate Center", "panel 5", "Center Translate|" + each("Translate ") + '|' + locks);
    row("Rotate Center", "panel 6", "Center of Rotation|" + each("Rotate ") + '|' + turnLocks);
    row("Color", "panel 7",
        "Red|Green|Blue|Material Shine|Specular Red|Specular Green|Specular Blue");
    row("Create Objects", "panel 8",
        "Create an Object|Rectangle|Block|Cone|Rounded Cone|Tube|Cylinder|Torus|Sphere1|"
        "Sphere 2|3D Text ...|Surface of Revolution ...|Extrusion ...|Edit Geometry|"
        "Edit Resolution|Create objects by clicking a button");
    row("Texture", "panel 9",
        "Texture Selected Objects|Enable Textures|Planar|Cylinderical|Spherical|Default|"
        "Load Texture ...|Scale S|Scale T|" +
            each("Rotate ") + '|' + each("Translate "));
    row("Scale Object", "panel 10", "Scale Selected Objects|" + each("Scale ") + '|' + locks);
    row("Lights", "panel 11",
        "Modify Light|Background|Ambient|Light #1|Light #8|Light Type|Off|Directional|"
        "Positional|Cone|Mouse Control|Rot|Pos|Rotate X|Rotate Y|X Position|Y Position|"
        "Z Position|Red|Green|Blue|Cutoff Angle|Spot Power|C1|C2|C3|"
        "Attenuation = 1.0/(C1*d*d+C2*d+C3)");
    row("Camera", "panel 12",
        "Control Camera|Mouse Control|Rot|Pos|Rotate X|Rotate Y|X Position|Y Position|"
        "Z Position|Camera Mode|Manual|Look-At|Set Look-At Group|" +
            views);

    // The sizes and resolutions of each primitive.
    row("Rectangle sizes", "sizes Rectangle", "Width|Height");
    row("Block sizes", "sizes Block", "Width|Height|Depth");
    row("Cone sizes", "sizes Cone", "Bottom Radius|Length|Top Radius");
    row("Rounded Cone sizes", "sizes RoundedCone", "Bottom Radius|Length|Top Radius");
    row("Tube sizes", "sizes Tube", "Radius|Length");
    row("Cylinder sizes", "sizes Cylinder", "Radius|Length");
    row("Torus sizes", "sizes Torus", "Major Radius|Minor Radius");
    row("Sphere1 sizes", "sizes Sphere1", "Radius");
    row("Sphere 2 sizes", "sizes Sphere2", "Radius");
    const QString cone =
        "Radius Resolution|Length Resolution|Top End Cap Resolution|"
        "Bottom End Cap Resolution";
    row("Rectangle resolution", "resolution Rectangle", "Modify Resolution|Side Resolution");
    row("Block resolution", "resolution Block", "Modify Resolution|Side Resolution");
    row("Cone resolution", "resolution Cone", "Modify Resolution|" + cone);
    row("Rounded Cone resolution", "resolution RoundedCone", "Modify Resolution|" + cone);
    row("Tube resolution", "resolution Tube",
        "Modify Resolution|Radius Resolution|Length Resolution");
    row("Cylinder resolution", "resolution Cylinder",
        "Modify Resolution|Radius Resolution|Length Resolution|End Cap Resolution");
    row("Torus resolution", "resolution Torus",
        "Modify Resolution|Major Radius Resolution|Minor Radius Resolution");
    row("Sphere1 resolution", "resolution Sphere1",
        "Modify Resolution|Y-axis Radius Resolution|X-axis Radius Resolution");
    row("Sphere 2 resolution", "resolution Sphere2", "Modify Resolution|Sphere Quality");
    row("3D text", "3D text", "Create 3D Text|Arial");

    const QString owners = "Currently Selected Objects|Camera|Light|in the Edit Lights Control.";
    row("Remove Key Frame Info", "dialog RemoveKeyInfo",
        "Remove Key Frame Info|PIck a Removal Method:|"
        "Note:  Light Removed will be the currently selected light|" +
            owners);
    row("Copy Key to Range", "dialog CopyKeyToRange",
        "Copy Key Frame Info to Range|Copy Key Info of:|to all keys in the range A to B.|"
        "Note:  Light copied will be the currently selected light|" +
            owners);
    row("Copy Keys in Range to Range", "dialog CopyRangeToRange",
        "Copy Key Frame Info Range to New Range|"
        "Copy all keys in the Range A,B to a new range starting at C");
    row("Strech/Squeeze", "dialog StretchKeys",
        "Scale Key Frame Info Range to New Range|Scale all keys in the Range A,B to A,C");

    row("Render Options", "render options",
        "Render Options|Output Filename|movie.mpg|Browse|Produce|MPEG Movie|"
        "Individual JPEG Frames|Individual BMP Frames|Individual PPM Frames|Animated GIF|"
        "Output Size|Width:|Height:|Oversampling|1x (None)|2x|3x|4x|Motion Blur|Off|On|"
        "Samples|Range|Render Frames|Current|All|From:|To:|Gamma Correct|Enable Composite|"
        "Composite with MPEG Movie|Filename|Fit largest square");
    row("preferences", "preferences",
        "Enable Light Source Display|Enable Camera Display|Solid Axis|"
        "Import without RGB/vertex|Texture Path: (Use ; to separate paths)");
    row("help", "help", "Help|Close");
    row("about", "about", "Modra Version 1.12");
    row("prompts", "prompts",
        "The current scene has not been saved.  Is it ok to erase it?|"
        "The current scene has not been saved.  Is it ok to quit without saving?|"
        "Can't save to /no/such/folder/scene.obj|"
        "Must select a group to look at\nbefore pushing that button|"
        "B must be less than 9999|A must be less than 9999|"
        "Need to be at a key frame for copy range|C must be less than 9999|"
        "A(from) and B(to) values need to be key frames.|unable to find keyinfo|"
        "The current frame has key frame information.\n"
        "Is it ok to overwrite with the paste data?");
  }
  void programTexts() {
    QFETCH(QString, surface);
    QFETCH(QStringList, texts);
    const QStringList shown = textsOf(surface);
    QStringList missing;
    for (const QString& text : texts)
      if (!shown.contains(text)) missing << text;
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("missing: \"%1\"\nshown: \"%2\"")
                                               .arg(missing.join("\", \""), shown.join("\", \""))));
  }

  void everyMenuItemHasALetterOfItsOwn() {
    QList<QList<QAction*>> menus{w().menuBar()->actions()};
    for (QAction* a : w().menuBar()->actions())
      menus << a->menu()->actions();
    for (const QList<QAction*>& items : menus) {
      QHash<QChar, QString> taken;
      for (const QAction* a : items) {
        if (a->isSeparator()) continue;
        const QChar letter = Accelerator(a->text());
        // The recent files are named when there are any.
        if (a->text().isEmpty()) continue;
        QVERIFY2(!letter.isNull(), qPrintable(a->text()));
        QVERIFY2(!taken.contains(letter),
                 qPrintable(a->text() + QStringLiteral(" and ") + taken.value(letter)));
        taken.insert(letter, a->text());
      }
    }
  }

  // Every key the window's items answer to is in the keyboard help, on a
  // line that names what it does.
  void keyboardHelpListsEveryShortcut() {
    const QStringList lines =
        QString::fromUtf8(KeyboardHelpText().data(), qsizetype(KeyboardHelpText().size()))
            .split('\n');
    int keys = 0;
    for (const QAction* a : w().findChildren<QAction*>()) {
      for (const QKeySequence& key : a->shortcuts()) {
        ++keys;
        const QString name = key.toString(QKeySequence::PortableText);
        const QString item = Plain(a->text()).remove(QStringLiteral("...")).trimmed();
        bool listed = false;
        for (const QString& line : lines)
          if (line.startsWith(name + ' ') && Squeezed(line).contains(Squeezed(item))) listed = true;
        QVERIFY2(listed, qPrintable(name + QStringLiteral(" for ") + item));
      }
    }
    // ... and every key the help gives a command is that command's.
    const QRegularExpression keyLine(QStringLiteral("^(Ctrl\\+\\S+) +(.+)$"));
    int listed = 0;
    for (const QString& line : lines) {
      const QRegularExpressionMatch m = keyLine.match(line);
      if (!m.hasMatch()) continue;
      ++listed;
      const QKeySequence key(m.captured(1), QKeySequence::PortableText);
      bool bound = false;
      for (const QAction* a : w().findChildren<QAction*>()) {
        const QString item = Plain(a->text()).remove(QStringLiteral("...")).trimmed();
        if (a->shortcuts().contains(key) && Squeezed(m.captured(2)).contains(Squeezed(item)))
          bound = true;
      }
      QVERIFY2(bound, qPrintable(line));
    }
    QCOMPARE(listed, keys);
  }

  // The general help's paragraph on each menu names every item of it, and
  // says of an item that is never available that it is greyed out.
  void generalHelpDescribesEveryMenuItem() {
    // Everything that can be available is: a scene, a selection, a group
    // on the clipboard, a step to undo and one to redo.
    QVERIFY(document().openFile(DemoScene()));
    // A person waits for the menus to follow each command.
    for (const char* item : {"SelectAll", "Copy", "ReverseNormals", "Paste", "Undo"}) {
      QVERIFY(WaitForRefresh(w()));
      QVERIFY2(action(item)->isEnabled(), item);
      action(item)->trigger();
    }
    QVERIFY(WaitForRefresh(w()));
    QVERIFY(action("Undo")->isEnabled() && action("Redo")->isEnabled());

    const QString help =
        QString::fromUtf8(GeneralHelpText().data(), qsizetype(GeneralHelpText().size()));
    const QString menus = help.section(QStringLiteral("\nMENUS\n"), 1).section("\n\n", 0, 0);
    for (QAction* bar : w().menuBar()->actions()) {
      const QString title = Plain(bar->text());
      // The paragraph: from the menu's name at the start of a line to the
      // next line that starts with a name.
      const QRegularExpression start(QStringLiteral("(^|\n)") + QRegularExpression::escape(title) +
                                     QStringLiteral(" +"));
      const QRegularExpressionMatch found = start.match(menus);
      QVERIFY2(found.hasMatch(), qPrintable(title));
      QString paragraph = menus.mid(found.capturedEnd());
      paragraph = paragraph.left(paragraph.indexOf(QRegularExpression(QStringLiteral("\n\\S"))));
      const QString words = Squeezed(paragraph);
      for (const QAction* a : bar->menu()->actions()) {
        // The recent files are the user's, not the program's.
        if (a->isSeparator() || a->objectName().startsWith("MainWindow_Recent")) continue;
        const QString item = Squeezed(Plain(a->text()));
        // Undo and Redo carry the name of their step.
        const QString name = item.startsWith("undo")   ? "undo"
                             : item.startsWith("redo") ? "redo"
                                                       : item;
        const qsizetype at = words.indexOf(name);
        QVERIFY2(at >= 0, qPrintable(title + QStringLiteral(": ") + a->text()));
        if (!a->isEnabled())
          QVERIFY2(words.mid(at, name.size() + 20).contains(QStringLiteral("greyedout")),
                   qPrintable(a->text()));
      }
    }
  }

  // What the help says of Save As and of "Load Texture ...": each claim
  // with the behaviour that makes it true.
  void helpClaimsHold() {
    const QString help =
        Squeezed(QString::fromUtf8(GeneralHelpText().data(), qsizetype(GeneralHelpText().size())));
    QTemporaryDir dir;
    QVERIFY(
        help.contains(Squeezed("Save As writes it under a new name, which becomes the "
                               "document's name: the title shows it")));
    QVERIFY(document().openFile(WriteCube(dir)));
    const QString copy = dir.filePath(QStringLiteral("copy.knf"));
    prompts_.files << copy;
    action("SaveAs")->trigger();
    QTRY_COMPARE(ShownTitle(w()), QStringLiteral("Modra: ") + copy);

    QVERIFY(
        help.contains(Squeezed("\"Load Texture ...\", the last entry of the list, opens the "
                               "Visual Browser in the folder the last texture came from")));
    QVERIFY(help.contains(Squeezed("the image it loads goes to the selected groups")));
    action("SelectAll")->trigger();
    w().setEditMode(static_cast<int>(EditMode::kTexture));
    QVERIFY(WaitForRefresh(w()));
    auto* list = child<QComboBox>(&w(), "CFormTexture_Textures");
    const QString images = QStringLiteral(MODRA_TESTDATA_DIR "/images");
    const QString before = QString::fromStdString(doc().textures.lastPath);
    for (const char* image : {"testorig.ppm", "testorig.jpg"}) {
      prompts_.files << images + '/' + QLatin1String(image);
      QVERIFY(WaitForRefresh(w()));  // the list holds the last one loaded
      QTest::keyClick(list, Qt::Key_End);
      const int texture = scene().groups[scene().selectedGroup].textureIndex;
      QCOMPARE(doc().textures.entries[static_cast<size_t>(texture)].name, std::string(image));
    }
    QCOMPARE(prompts_.folders, (QStringList{before, images}));
  }
};

MODRA_GUI_TEST(TestTexts);

}  // namespace modra::test

#include "tst_texts.moc"
