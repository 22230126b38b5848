// The options dialog and the custom header dialog on a temporary settings file:
// enabling rules, OK writing the keys (and showing parse failures), Cancel reading
// them again, the name input and the custom header result.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/TfCustomHeader.h"
#include "settings/TfListerOptions.h"
#include "support/ScriptedDialogHost.h"

using namespace qv;
using namespace qv::app;
using qv::test::ScriptedDialogHost;
using qv::test::TempDir;

namespace {

template <class W>
W* byText(QWidget* parent, const char* text) {
    for (W* w : parent->findChildren<W*>()) {
        if (w->text() == QString::fromUtf8(text))
            return w;
    }
    qFatal("no widget '%s'", text);
}

}  // namespace

class ListerOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void enablingRules();
    void okWritesKeysAndCancelRereadsThem();
    void customHeaderResult();
};

void ListerOptionsTest::enablingRules() {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    ListerOptions options;
    FontSettings fonts;
    TfListerOptions dlg(options, fonts, tmp.file("quorvane.ini"), dialogs);
    dlg.show();
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
    TempDir tmp;
    const std::string file = tmp.file("quorvane.ini");
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    ListerOptions options;
    recomputeOptions(options);
    FontSettings fonts;
    TfListerOptions dlg(options, fonts, file, dialogs);
    dlg.show();
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
    QCOMPARE(options.saveName, std::string("LIST.txt"));
    dlg.accept();

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
    QCOMPARE(options.saveName, std::string("DEFAULT"));
    fonts[FontSlot::MainForm].name = "Changed";
    dlg.reject();
    QCOMPARE(options.convertEverything, true);
    QCOMPARE(options.saveName, std::string("LIST.txt"));
    QCOMPARE(fonts[FontSlot::MainForm].name, std::string("Terminal"));
    QCOMPARE(dlg.changedFonts(), 0);
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

QTEST_MAIN(ListerOptionsTest)
#include "ListerOptionsTest.moc"
