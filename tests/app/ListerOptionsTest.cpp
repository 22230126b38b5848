// The options dialog and the custom header dialog on a temporary settings file:
// enabling rules, OK writing the keys (and showing parse failures), Cancel reading
// them again, the name input and the custom header result.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>

#include "AppTestSupport.h"
#include "host/Dialogs.h"
#include "platform/TfSelectFolder.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "settings/TfCustomHeader.h"
#include "settings/TfListerOptions.h"
#include "support/ScriptedDialogHost.h"

using namespace qv;
using namespace qv::app;
using qv::test::ScriptedDialogHost;
using qv::test::TempDir;

namespace {

// The widget whose caption, without its mnemonic mark, is TEXT.
template <class W>
W* byText(QWidget* parent, const char* text) {
    for (W* w : parent->findChildren<W*>()) {
        if (QString(w->text()).remove(QLatin1Char('&')) == QString::fromUtf8(text))
            return w;
    }
    qFatal("no widget '%s'", text);
}

// The options dialog on a temporary settings file, with its doubles.
// The dialog edits a copy (draft()); OK hands it to the session's options.
struct OptionsFixture {
    TempDir tmp;
    std::string file = tmp.file("quorvane.ini");
    ScriptedDialogHost host;
    Session session{host, file};
    Dialogs& dialogs = session.dialogs();
    const ListerOptions& options = session.listerOptions();
    test::ScriptedChooser chooser;
    TfSelectFolder folders{chooser, dialogs};
    TfListerOptions dlg{session, folders, chooser};

    OptionsFixture() {
        session.load();
        dlg.show();
    }
};

}  // namespace

class ListerOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void enablingRules();
    void okWritesKeysAndCancelRereadsThem();
    void okReportsASettingsFileThatCannotBeWritten();
    void customHeaderResult();
    void selectPathThroughTheFolderWindow();
    void installedCharacterRomIsOffered();
};

void ListerOptionsTest::enablingRules() {
    OptionsFixture f;
    TfListerOptions& dlg = f.dlg;
    auto* header = byText<QCheckBox>(&dlg, "Generate Header");
    auto* always = byText<QRadioButton>(&dlg, "Add Path Always");
    QVERIFY(header->isChecked() && always->isEnabled());
    header->setChecked(false);
    QVERIFY(!always->isEnabled());
    QVERIFY(!byText<QCheckBox>(&dlg, "Custom Header")->isEnabled());
    header->setChecked(true);
    QVERIFY(always->isEnabled());

    auto* special = byText<QCheckBox>(&dlg, "Interpret Specialchars");
    special->setChecked(false);
    QVERIFY(!byText<QCheckBox>(&dlg, "Display BASIC V2 Tokens")->isEnabled());
    auto* autoGeos = byText<QCheckBox>(&dlg, "Auto GEOS Conversion");
    autoGeos->setChecked(false);
    QVERIFY(!byText<QCheckBox>(&dlg, "Convert GEOS Disknames")->isEnabled());

    // The three DOS choices only with 40 tracks on and autodetection off.
    auto* speed = byText<QRadioButton>(&dlg, "SpeedDOS");
    QVERIFY(!speed->isEnabled());
    byText<QCheckBox>(&dlg, "AutoDetect Mode")->setChecked(false);
    QVERIFY(speed->isEnabled());
    byText<QCheckBox>(&dlg, "Enable 40 Tracks")->setChecked(false);
    QVERIFY(!speed->isEnabled());
    QVERIFY(!byText<QCheckBox>(&dlg, "AutoDetect Mode")->isEnabled());
}

void ListerOptionsTest::okWritesKeysAndCancelRereadsThem() {
    OptionsFixture f;
    TfListerOptions& dlg = f.dlg;
    const ListerOptions& options = f.options;
    ScriptedDialogHost& host = f.host;
    const std::string& file = f.file;
    FontSettings& fonts = f.session.fonts();
    // The stored "DEFAULT" shows as the default string.
    const auto fields = dlg.findChildren<QLineEdit*>();
    QLineEdit* headerField = nullptr;
    for (QLineEdit* e : fields) {
        if (e->text() == QLatin1String("78,-,1,RETURN"))
            headerField = e;
    }
    QVERIFY(headerField);
    headerField->setText(QStringLiteral("x,-"));
    byText<QCheckBox>(&dlg, "Allow more than 144 Files")->setChecked(false);
    host.textAnswers.push_back(std::string("LIST"));
    byText<QRadioButton>(&dlg, "Insert Name")->click();
    QCOMPARE(dlg.draft().saveName, std::string("LIST.txt"));
    QCOMPARE(options.saveName, std::string("DEFAULT"));  // not before OK
    dlg.accept();
    QCOMPARE(options.saveName, std::string("LIST.txt"));

    QCOMPARE(options.maxFiles, 144);
    QCOMPARE(options.headerImageWidth, 0);
    QCOMPARE(host.messages.size(), std::size_t{1});
    QCOMPARE(host.messages[0], std::string("ListerOptions: Failed to parse Header Image String"));
    std::optional<IniFile> ini = IniFile::load(file);
    QCOMPARE(ini->readString("ASCII", "HeaderImage", ""), std::string("x,-"));
    QCOMPARE(ini->readString("ASCII", "PreImage", ""), std::string("1,-,1, "));
    QCOMPARE(ini->readBool("Conversion", "144 Files", true), false);
    QCOMPARE(ini->readString("Names", "Savename", ""), std::string("LIST.txt"));

    // Changes that are cancelled are read back from the file.
    dlg.show();
    byText<QCheckBox>(&dlg, "Convert Everything")->setChecked(false);
    byText<QRadioButton>(&dlg, "Default Name")->click();
    QCOMPARE(dlg.draft().saveName, std::string("DEFAULT"));
    dlg.draftFonts()[FontSlot::MainForm].name = "Changed";
    fonts[FontSlot::MainForm].name = "Changed";
    dlg.reject();
    QCOMPARE(options.convertEverything, true);
    QCOMPARE(options.saveName, std::string("LIST.txt"));
    QCOMPARE(fonts[FontSlot::MainForm].name, std::string("Terminal"));
    QCOMPARE(dlg.changedFonts(), 0);
}

void ListerOptionsTest::okReportsASettingsFileThatCannotBeWritten() {
    OptionsFixture f;
    Session lost{f.host, f.tmp.file("missing/quorvane.ini")};
    TfListerOptions dlg{lost, f.folders, f.chooser};
    lost.load();
    dlg.show();
    dlg.accept();
    QCOMPARE(f.host.messages.size(), std::size_t{1});
    QCOMPARE(f.host.messages[0], std::string("ListerOptions: Failed to save Quorvane.ini File..."));
    QVERIFY(!std::filesystem::exists(f.tmp.file("missing")));
    QVERIFY(!dlg.isVisible());
}

void ListerOptionsTest::customHeaderResult() {
    TfCustomHeader dlg;
    dlg.prepare("/games/c64/disk.d64", "c", 1);
    QCOMPARE(dlg.result(), std::string("c/c64/disk.d64"));
    auto* spin = dlg.findChild<QSpinBox*>();
    spin->setValue(3);
    QCOMPARE(dlg.result(), std::string("c"));
    // The example without a current image comes from the last load folder.
    QCOMPARE(customHeaderExample("", "/data/"), std::string("/data/IMAGENAME.D64"));
    QCOMPARE(customHeaderExample("/x/a.d64", "/data/"), std::string("/x/a.d64"));
}

// Answers the folder window once it is open: TEXT typed into its combo box, then OK
// (or Cancel when TEXT is null).
void answerFolderWindow(std::optional<QString> text) {
    QTimer::singleShot(0, [text] {
        auto* w = qobject_cast<TfSelectFolder*>(QApplication::activeModalWidget());
        QVERIFY(w);
        if (!text) {
            w->reject();
            return;
        }
        w->folderBox()->setEditText(*text);
        w->accept();
    });
}

void ListerOptionsTest::selectPathThroughTheFolderWindow() {
    OptionsFixture f;
    TfListerOptions& dlg = f.dlg;
    const ListerOptions& options = dlg.draft();
    TfSelectFolder& folders = f.folders;
    TempDir& tmp = f.tmp;
    QString reported;
    connect(&dlg, &TfListerOptions::saveFolderChanged,
            [&](const QString& folder) { reported = folder; });
    auto* selectPath = byText<QRadioButton>(&dlg, "Select Path");

    // A relative text shows the window again; the typed folder is then created.
    const std::string made = tmp.file("new/lists");
    answerFolderWindow(QStringLiteral("relative"));
    QTimer::singleShot(50, [made] { answerFolderWindow(QString::fromStdString(made)); });
    selectPath->click();
    QCOMPARE(options.savePath, made + "/");
    QCOMPARE(reported, QString::fromStdString(made + "/"));
    QCOMPARE(f.session.saveFolder(), made + "/");  // the save folder changes at once
    QVERIFY(std::filesystem::is_directory(made));

    // Cancel keeps the path; the combo box keeps the folder chosen before.
    answerFolderWindow(std::nullopt);
    selectPath->click();
    QCOMPARE(options.savePath, made + "/");
    QCOMPARE(folders.folderBox()->count(), 1);

    // "Browse..." starts at the combo box's folder and copies the pick into it.
    f.chooser.folderAnswers.push_back(QString::fromStdString(tmp.path()));
    folders.folderBox()->setEditText(QString::fromStdString(made));
    byText<QPushButton>(&folders, "Browse...")->click();
    QCOMPARE(f.chooser.folderStarts.back(), QString::fromStdString(made));
    QCOMPARE(folders.folderBox()->currentText(), QString::fromStdString(tmp.path()));

    // A folder that cannot be made: the message, no result, the list unchanged.
    std::ofstream(tmp.file("file")) << "x";
    QCOMPARE(folders.finish(tmp.file("file/sub")), std::string());
    QCOMPARE(f.host.messages.back(), "Failed to create folder " + tmp.file("file/sub") + "/");
    QCOMPARE(folders.folderBox()->count(), 1);
    // A folder chosen again is selected, not added twice.
    QCOMPARE(folders.finish(made), made + "/");
    QCOMPARE(folders.folderBox()->count(), 1);
}

// An emulator's data folder with a good character ROM and a damaged one: the good one is
// offered, "Use" puts its path into "Character ROM:" and OK stores it; the damaged one is
// named with its size.
void ListerOptionsTest::installedCharacterRomIsOffered() {
    OptionsFixture f;
    const std::filesystem::path good = f.tmp.file("share/vice/C64");
    const std::filesystem::path bad = f.tmp.file("lib/vice/C64");
    std::filesystem::create_directories(good);
    std::filesystem::create_directories(bad);
    std::ofstream(good / "chargen-901225-01.bin", std::ios::binary) << std::string(4096, 'x');
    std::ofstream(bad / "chargen", std::ios::binary) << std::string(4095, 'x');
    f.dlg.setCharsetRomFolders({good, bad});
    auto* list = f.dlg.findChild<QComboBox*>(QStringLiteral("installedRoms"));
    QVERIFY(list != nullptr);
    QCOMPARE(list->count(), 1);
    const QString path = QString::fromStdString((good / "chargen-901225-01.bin").string());
    QCOMPARE(list->itemData(0).toString(), path);
    const QString notes = f.dlg.findChild<QLabel*>(QStringLiteral("installedRomNotes"))->text();
    QVERIFY2(notes.contains(QStringLiteral("has 4095 bytes")), qPrintable(notes));

    f.dlg.findChild<QPushButton*>(QStringLiteral("useInstalledRom"))->click();
    auto* rom = f.dlg.findChild<QLineEdit*>(QStringLiteral("charsetRom"));
    QCOMPARE(rom->text(), path);
    f.dlg.accept();
    QCOMPARE(QString::fromStdString(f.options.charsetRom), path);
    QCOMPARE(QString::fromStdString(IniFile::load(f.file)->readString("C64 Screen", "CharROM", "")),
             path);

    // "Built-in" empties the option again; with no ROM found the list is disabled.
    f.dlg.findChild<QPushButton*>(QStringLiteral("useBuiltinCharset"))->click();
    QVERIFY(rom->text().isEmpty());
    f.dlg.setCharsetRomFolders({});
    QVERIFY(!list->isEnabled());
}

QTEST_MAIN(ListerOptionsTest)
#include "ListerOptionsTest.moc"
