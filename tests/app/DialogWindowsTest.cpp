// The question and error dialogs as windows: what they show for a request or a
// flag word, and what a click or Escape returns.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "AppTestSupport.h"
#include "host/Dialogs.h"
#include "platform/QtDialogHost.h"
#include "platform/TfErrorDialog.h"
#include "platform/TfFileDialog.h"

using namespace qv;
using namespace qv::app;

namespace {

QPushButton* button(QWidget* w, const char* text) {
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
        if (b->text() == QLatin1String(text))
            return b;
    }
    return nullptr;
}

QStringList buttonTexts(QWidget* w) {
    QStringList out;
    for (QPushButton* b : w->findChildren<QPushButton*>())
        out << b->text();
    return out;
}

}  // namespace

class DialogWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void questionShowsPresetAndReturnsChoice();
    void questionEscapeGivesTwo();
    void errorDialogFollowsFlagWord();
    void filterListForTheToolkit();
    void everyDialogControlHasANameAndAMnemonicOfItsOwn();
};

void DialogWindowsTest::questionShowsPresetAndReturnsChoice() {
    TfFileDialog d(QuestionMode::ExtendedBam);
    QCOMPARE(d.windowTitle(), QStringLiteral("Extended BAM could not be detected..."));
    QuestionRequest r;
    r.form = &questionSpec(QuestionMode::ExtendedBam);
    r.path = "/disks/forty.d64";
    r.message = r.form->message;
    r.preset.choice = 3;
    d.prepare(r);
    d.show();
    QCOMPARE(d.findChild<QLineEdit*>()->text(), QStringLiteral("/disks/forty.d64"));
    const auto radios = d.findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 4);
    QVERIFY(radios[2]->isChecked());  // DolphinDOS
    QCOMPARE(buttonTexts(&d), (QStringList{"OK", "Cancel", "Cancel All"}));
    radios[3]->setChecked(true);
    d.findChild<QCheckBox*>()->setChecked(true);
    button(&d, "OK")->click();
    const QuestionReply reply = d.reply();
    QCOMPARE(reply.result, 1);
    QCOMPARE(reply.choice, 4);
    QVERIFY(reply.dontAsk);

    // Mode 5: the extension list; mode 4: the log box; mode 7: no "Don't ask" box.
    TfFileDialog d5(QuestionMode::WrongExtension);
    QuestionRequest r5{&questionSpec(QuestionMode::WrongExtension), "/x.prg", "m", {}};
    r5.preset.choice = 4;
    d5.prepare(r5);
    QCOMPARE(d5.findChild<QListWidget*>()->currentItem()->text(), QStringLiteral("*.*"));
    button(&d5, "Cancel All")->click();
    QCOMPARE(d5.reply().result, 2);
    QCOMPARE(d5.reply().choice, 4);
    TfFileDialog d4(QuestionMode::UnsupportedSize);
    QCOMPARE(d4.findChildren<QCheckBox*>().size(), 2);
    TfFileDialog d7(QuestionMode::OldSettingsFile);
    QCOMPARE(d7.findChildren<QCheckBox*>().size(), 0);
    QCOMPARE(buttonTexts(&d7), (QStringList{"Copy", "Move", "Delete", "Cancel"}));
}

void DialogWindowsTest::questionEscapeGivesTwo() {
    TfFileDialog d(QuestionMode::NameExists);
    QuestionRequest r{&questionSpec(QuestionMode::NameExists), "/out/a.txt", "m", {}};
    d.prepare(r);
    d.show();
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.reply().result, 2);
}

void DialogWindowsTest::errorDialogFollowsFlagWord() {
    const QFont font(QStringLiteral("DejaVu Sans Mono"), 9);
    struct Case {
        int flags;
        QStringList buttons;
        int lines;
        const char* click;
        int result;
    } cases[] = {
        {0, {"Continue", "Abort File", "Abort Image"}, 2, "Abort Image", 3},
        {1, {"Continue", "Abort Row", "Abort File"}, 2, "Abort Row", 2},
        {2, {"Continue", "Abort File"}, 2, "Continue", 1},
        {4, {"Continue", "Abort Image"}, 2, "Abort Image", 3},
        {280, {"OK"}, 1, "OK", 1},
    };
    for (const Case& c : cases) {
        const ErrorLayout layout = errorLayout("MainForm", "/a.d64", "FILE", "Broken", c.flags);
        TfErrorDialog d(layout, font);
        d.show();
        QCOMPARE(buttonTexts(&d), c.buttons);
        QCOMPARE(static_cast<int>(d.findChildren<QLineEdit*>().size()), c.lines);
        QCOMPARE(d.windowTitle(), QString::fromStdString(layout.caption));
        button(&d, c.click)->click();
        QCOMPARE(d.result(), c.result);
    }
    // The second line in the error-dialog font with flag 64; Escape gives 2.
    TfErrorDialog d(errorLayout("GeosFile", "/a.d64", "FILE", "Broken", 64), font);
    d.show();
    QCOMPARE(d.findChild<QLineEdit*>(QStringLiteral("line2"))->font().family(), font.family());
    QTest::keyClick(&d, Qt::Key_Escape);
    QCOMPARE(d.result(), 2);
}

void DialogWindowsTest::filterListForTheToolkit() {
    QCOMPARE(qtFilter("D64 Images (*.D64)|*.D64|All FIles (*.*)|*.*"),
             QStringLiteral("D64 Images (*.D64 *.d64);;All FIles (*.*)"));
}

void DialogWindowsTest::everyDialogControlHasANameAndAMnemonicOfItsOwn() {
    // Each question form and the error dialog with both its lines, as a screen reader
    // meets them.
    for (int m = 1; m <= 7; ++m) {
        const auto mode = static_cast<QuestionMode>(m);
        TfFileDialog d(mode);
        QuestionRequest r{&questionSpec(mode), "/disks/a.d64", questionSpec(mode).message, {}};
        d.prepare(r);
        d.show();
        QVERIFY2(test::unnamedControls(&d).isEmpty(),
                 qPrintable(test::unnamedControls(&d).join(QStringLiteral(", "))));
        QCOMPARE(test::mnemonicClashes(&d), QStringList());
    }
    TfErrorDialog e(errorLayout("MainForm", "/a.d64", "FILE", "Broken", 0),
                    QFont(QStringLiteral("DejaVu Sans Mono"), 9));
    e.show();
    QCOMPARE(test::unnamedControls(&e), QStringList());
    QCOMPARE(test::mnemonicClashes(&e), QStringList());
}

QTEST_MAIN(DialogWindowsTest)
#include "DialogWindowsTest.moc"
