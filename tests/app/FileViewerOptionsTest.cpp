// The "File Viewer Options" and "Edit Startaddresses" dialogs on a temporary settings
// file: the dependencies between the options, OK storing and Cancel re-reading them,
// the refused text limit, and the input box of the start addresses with its refusals.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "AppTestSupport.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "support/ScriptedDialogHost.h"
#include "viewer/TfFileViewerOptions.h"
#include "viewer/TfStartAddress.h"

using namespace qv;
using namespace qv::app;
using qv::test::TempDir;

namespace {

// The widget whose accessible name is NAME.
template <class W>
W* named(QWidget* parent, const char* name) {
    for (W* w : parent->findChildren<W*>()) {
        if (w->accessibleName() == QString::fromUtf8(name))
            return w;
    }
    qFatal("no widget '%s'", name);
}

// Records the preset the input box was opened with.
struct InputHost : test::ScriptedDialogHost {
    std::vector<std::string> presets;
    std::vector<std::string> prompts;
    std::optional<std::string> askText(const std::string& caption, const std::string& prompt,
                                       const std::string& preset) override {
        prompts.push_back(caption + ": " + prompt);
        presets.push_back(preset);
        return ScriptedDialogHost::askText(caption, prompt, preset);
    }
};

struct Fixture {
    TempDir tmp;
    InputHost host;
    Session session{host, tmp.file("quorvane.ini")};
    test::ScriptedChooser chooser;

    Fixture() { session.loadFullTokenTable(tmp.path()); }
    IniFile stored() { return session.settings().readOrEmpty(); }
    void store(const std::string& section, const std::string& key, const std::string& value) {
        (void)session.settings().update("Test",
                                        [&](IniFile& ini) { ini.writeText(section, key, value); });
    }
};

}  // namespace

class FileViewerOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void captionsAndTabs() {
        Fixture f;
        TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("File Viewer Options"));
        QStringList tabs;
        for (int i = 0; i < dlg.tabs()->count(); ++i)
            tabs << dlg.tabs()->tabText(i);
        QCOMPARE(tabs, (QStringList{"File Conversion", "BASIC Detokenizer", "BAMFileList Defaults",
                                    "C64Screen"}));
        auto* mode = named<QComboBox>(&dlg, "BASIC Mode:");
        QCOMPARE(mode->count(), 9);
        QCOMPARE(mode->itemText(8), QStringLiteral("Graphics 52"));
        QCOMPARE(named<QLineEdit>(&dlg, "Max. Text in Bytes:")->text(), QStringLiteral("10000"));
        QCOMPARE(named<QPushButton>(&dlg, "Edit Token Table...")->text().remove('&'),
                 QStringLiteral("edit..."));
        named<QPushButton>(&dlg, "Edit Autodetect Startaddresses...");
    }

    void dependenciesOnCreationAndChange() {
        Fixture f;
        f.store("TOK64", "Autodetect", "0");
        f.store("TOK64", "Ignore", "1");
        f.store("File Viewer", "Conv to Chars", "0");
        f.session.viewerOptions().load(f.stored());
        TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        auto* autodetect = named<QCheckBox>(&dlg, "Autodetect BASIC Mode");
        auto* ignore = named<QCheckBox>(&dlg, "Ignore Startaddress");
        auto* mode = named<QComboBox>(&dlg, "BASIC Mode:");
        auto* chars = named<QCheckBox>(&dlg, "Convert to Chars");
        auto* hex = named<QCheckBox>(&dlg, "Convert HexNumbers to ASCII");
        QVERIFY(ignore->isChecked() && ignore->isEnabled() && mode->isEnabled());
        QVERIFY(hex->isEnabled());

        autodetect->setChecked(true);
        QVERIFY(!ignore->isChecked() && !ignore->isEnabled() && !mode->isEnabled());
        autodetect->setChecked(false);
        QVERIFY(!ignore->isChecked() && ignore->isEnabled() && mode->isEnabled());
        chars->setChecked(true);
        QVERIFY(!hex->isEnabled());
        chars->setChecked(false);
        QVERIFY(hex->isEnabled());
    }

    void okStoresAndCancelReReads() {
        Fixture f;
        {
            TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
            named<QCheckBox>(&dlg, "Autodetect BASIC Mode")->setChecked(false);
            named<QComboBox>(&dlg, "BASIC Mode:")->setCurrentIndex(6);
            named<QCheckBox>(&dlg, "Show Chain default checked")->setChecked(false);
            named<QLineEdit>(&dlg, "Max. Text in Bytes:")->setText(QStringLiteral("2500"));
            dlg.accept();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        const IniFile ini = f.stored();
        QCOMPARE(ini.readInt("TOK64", "Mode", 0), 6);
        QCOMPARE(ini.readBool("TOK64", "Autodetect", true), false);
        QCOMPARE(ini.readInt("TOK64", "C64Screen MaxText", 0), 2500);
        QCOMPARE(ini.readBool("BAM Defaults", "Show Chain", true), false);
        QCOMPARE(f.session.viewerOptions().c64ScreenMaxText, 2500);

        TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        QCOMPARE(named<QComboBox>(&dlg, "BASIC Mode:")->currentIndex(), 6);
        named<QCheckBox>(&dlg, "Syntax Highlighting")->setChecked(false);
        named<QLineEdit>(&dlg, "Max. Text in Bytes:")->setText(QStringLiteral("1"));
        dlg.reject();
        QCOMPARE(f.session.viewerOptions().syntaxHighlighting, true);
        QCOMPARE(f.session.viewerOptions().c64ScreenMaxText, 2500);
        QCOMPARE(f.stored().readInt("TOK64", "C64Screen MaxText", 0), 2500);
    }

    void aTextLimitThatIsNoNumberStoresNothing() {
        Fixture f;
        TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        dlg.show();
        named<QCheckBox>(&dlg, "BAMFileList default opened")->setChecked(false);
        named<QLineEdit>(&dlg, "Max. Text in Bytes:")->setText(QStringLiteral("10k"));
        dlg.accept();
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.tabs()->currentIndex(), 3);
        QCOMPARE(f.host.messages.size(), std::size_t(1));
        QVERIFY(f.host.messages[0].find("'10k' is not a valid integer value") != std::string::npos);
        QVERIFY(!f.stored().hasSection("BAM Defaults"));
        QCOMPARE(f.session.viewerOptions().bamFileListOpen, true);
    }

    void translateSpecialcharsNeedsTheirTokenset() {
        Fixture f;
        f.session.tokens().setCell(1, 3, "-");
        f.session.tokens().rebuildTokenIndex(0, false);
        f.session.viewerOptions().translateSpecialchars = false;
        TfFileViewerOptions dlg(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        auto* translate = named<QCheckBox>(&dlg, "Translate Specialchars");
        translate->setChecked(true);
        QVERIFY(!translate->isChecked());
        QCOMPARE(f.host.messages.back(),
                 std::string("TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars "
                             "can't be displayed!"));
    }

    void addingAnAddressAsksAgainWithTheRefusedText() {
        Fixture f;
        TfStartAddress dlg(f.session);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Edit Startaddresses"));
        f.host.textAnswers = {std::string("12345"), std::string("XYZ"), std::string("c01")};
        dlg.addAddress(3);
        QCOMPARE(f.host.prompts.front(), std::string("Input: Insert new BASIC Startaddress"));
        QCOMPARE(f.host.presets, (std::vector<std::string>{"", "12345", "XYZ"}));
        QCOMPARE(f.host.messages,
                 (std::vector<std::string>{"String too long...", "Not a valid Hexnumber..."}));
        QListWidget* list = dlg.list(3);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("1001"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("c01"));

        // Cancel, and OK with nothing typed, add nothing.
        f.host.textAnswers = {std::nullopt};
        dlg.addAddress(3);
        f.host.textAnswers = {std::string()};
        dlg.addAddress(3);
        QCOMPARE(list->count(), 2);

        dlg.list(2)->item(0)->setSelected(true);
        dlg.list(2)->item(2)->setSelected(true);
        dlg.removeSelected(2);
        QCOMPARE(dlg.list(2)->count(), 1);
        QCOMPARE(dlg.list(2)->item(0)->text(), QStringLiteral("0801"));
        dlg.accept();
        QCOMPARE(f.stored().readString("BASIC Address", "BasicV2", ""), std::string("0801;"));
        QCOMPARE(f.stored().readString("BASIC Address", "BasicV35", ""), std::string("1001;c01;"));
        QVERIFY(f.session.viewerOptions().startAddresses.detect(0x0C01) == 3);
    }

    void defaultThenCancelLeavesTheStoredLists() {
        Fixture f;
        f.store("BASIC Address", "BasicV2", "0801;");
        f.session.viewerOptions().startAddresses.load(f.stored());
        TfStartAddress dlg(f.session);
        QCOMPARE(dlg.list(2)->count(), 1);
        dlg.restoreDefaults();
        QCOMPARE(dlg.list(2)->count(), 3);
        QCOMPARE(dlg.list(7)->count(), 2);
        dlg.reject();
        QCOMPARE(f.stored().readString("BASIC Address", "BasicV2", ""), std::string("0801;"));
        QVERIFY(!f.stored().hasKey("BASIC Address", "BasicV7Ext"));
        QCOMPARE(f.session.viewerOptions().startAddresses.list(2),
                 (std::vector<std::string>{"0801"}));
        QCOMPARE(dlg.list(2)->count(), 1);
    }
};

QTEST_MAIN(FileViewerOptionsTest)
#include "FileViewerOptionsTest.moc"
