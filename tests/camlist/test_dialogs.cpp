#include "camdialog.h"
#include "noticewindow.h"
#include "windowfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray twoCams = "\r\n[name]Harbour\r\nhttp://h/a.jpg\r\n30\r\n\r\n"
                           "[name]Hill\r\nhttp://h/b.jpg\r\n5\r\n\r\n";

void select(WindowFixture& f, const QString& name) {
    const auto items = f.window->List1->findItems(name, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(name));
    f.window->List1->setCurrentItem(items.first());
}

QStringList listed(const WindowFixture& f) {
    QStringList names;
    for (int i = 0; i < f.window->List1->count(); ++i)
        names << f.window->List1->item(i)->text();
    return names;
}

void type(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT
  private slots:
    void addDialogLooksAsDesigned() {
        WindowFixture f(twoCams);
        f.window->cmdAdd->click();
        AddCamDialog* add = f.window->addDialog();
        QVERIFY(add);
        QCOMPARE(add->objectName(), QString("Form2"));
        QCOMPARE(add->windowTitle(), QString("Tarvique Webcams :: Add a Cam"));
        QCOMPARE(add->Text1->toolTip(), QString("create a unique name"));
        QCOMPARE(add->Text3->toolTip(), QString("Enter the time in seconds"));
        QCOMPARE(add->Label4->text(), QString("seconds"));
        QCOMPARE(add->Command1->text(), QString("OK"));
        QCOMPARE(add->Command2->text(), QString("Cancel"));
        QCOMPARE(add->size(), QSize(316, 149));
        QCOMPARE(add->Text2->pos(), QPoint(56, 24));
        QVERIFY(add->Text1->text().isEmpty());
        f.window->cmdAdd_Click(); // the same window again
        QCOMPARE(f.window->findChildren<AddCamDialog*>().size(), 1);
    }

    void emptyBoxesAreRefusedAndNothingIsWritten() {
        WindowFixture f(twoCams);
        f.window->cmdAdd_Click();
        AddCamDialog* add = f.window->addDialog();
        type(add->Text1, "New");
        type(add->Text2, "http://n/c.jpg");
        add->Command1->click();
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.prompter.asked[0].title, QString(":: error"));
        QCOMPARE(f.prompter.asked[0].text, QString("you must enter all information"));
        QVERIFY(add->isVisible());
        QCOMPARE(add->Text1->text(), QString("New"));
        QCOMPARE(f.box.readFile("00camlist.txt"), twoCams);
    }

    void anythingTypedIsWrittenAsTyped() {
        WindowFixture f(twoCams);
        f.window->cmdAdd_Click();
        AddCamDialog* add = f.window->addDialog();
        type(add->Text1, "Harbour"); // a name already in the list
        type(add->Text2, " ");       // blanks count as content
        type(add->Text3, "abcd");    // a fourth character is refused
        QCOMPARE(add->Text3->text(), QString("abc"));
        add->Command1->click();
        QTRY_VERIFY(!f.window->addDialog());
        QCOMPARE(f.box.readFile("00camlist.txt"), twoCams + "[name]Harbour\r\n \r\nabc\r\n\r\n");
        QCOMPARE(listed(f), (QStringList{"Harbour", "Hill", "Harbour"}));
        QVERIFY(f.prompter.asked.isEmpty());
    }

    void cancelWritesNothing() {
        WindowFixture f(twoCams);
        f.window->cmdAdd_Click();
        type(f.window->addDialog()->Text1, "x");
        f.window->addDialog()->Command2->click();
        QTRY_VERIFY(!f.window->addDialog());
        QCOMPARE(f.box.readFile("00camlist.txt"), twoCams);
        QCOMPARE(listed(f), (QStringList{"Harbour", "Hill"}));
    }

    void editingWithoutChangesMovesTheRecordLast() {
        WindowFixture f(twoCams);
        select(f, "Harbour");
        f.window->cmdEdit->click();
        EditCamDialog* edit = f.window->editDialog();
        QVERIFY(edit);
        QCOMPARE(edit->windowTitle(), QString("Harbour"));
        QCOMPARE(edit->Label5->text(),
                 QString("(Cams that are already open will need to be restarted)"));
        QCOMPARE(edit->Text2->text(), QString("http://h/a.jpg"));
        QCOMPARE(edit->Text1->toolTip(), QString("Create a unique name for the cam"));
        edit->Command1->click();
        QTRY_VERIFY(!f.window->editDialog());
        QCOMPARE(f.box.readFile("00camlist.txt"),
                 QByteArray("\r\n\r\n\r\n\r\n[name]Hill\r\nhttp://h/b.jpg\r\n5\r\n\r\n\r\n"
                            "[name]Harbour\r\nhttp://h/a.jpg\r\n30\r\n\r\n"));
        QCOMPARE(listed(f), (QStringList{"Hill", "Harbour"}));
    }

    void renamingARunningCamUpdatesOnlyItsPanels() {
        WindowFixture f(twoCams);
        f.start("Harbour");
        f.start("Hill");
        select(f, "Harbour");
        f.window->cmdEdit_Click();
        EditCamDialog* edit = f.window->editDialog();
        type(edit->Text1, "Port");
        type(edit->Text3, "9");
        edit->Command1_Click();
        CamPanel* renamed = f.window->panel(0);
        QCOMPARE(renamed->frameCaption(), QByteArray("Port"));
        QCOMPARE(renamed->txtName, QByteArray("Port"));
        QCOMPARE(renamed->txtRefresh, QByteArray("9"));
        QCOMPARE(renamed->refreshSecs, 30); // nothing restarts
        QCOMPARE(f.window->panel(1)->frameCaption(), QByteArray("Hill"));
        QCOMPARE(f.window->panel(1)->txtRefresh, QByteArray("5"));
    }

    void anOpenEditDialogKeepsItsRecord() {
        WindowFixture f(twoCams);
        select(f, "Harbour");
        f.window->cmdEdit_Click();
        select(f, "Hill");
        f.window->cmdEdit_Click();
        EditCamDialog* edit = f.window->editDialog();
        QCOMPARE(f.window->findChildren<EditCamDialog*>().size(), 1);
        QCOMPARE(QByteArray::fromStdString(edit->oldName), QByteArray("Harbour"));
        type(edit->Text2, "http://h/new.jpg");
        edit->Command1_Click();
        QVERIFY(f.box.readFile("00camlist.txt").contains("[name]Hill\r\nhttp://h/b.jpg\r\n5"));
        QVERIFY(f.box.readFile("00camlist.txt")
                    .endsWith("[name]Harbour\r\nhttp://h/new.jpg\r\n30\r\n\r\n"));
    }

    void editAndRemoveActOnTheFirstOfTwoAlike() {
        const QByteArray twins =
            "[name]Twin\r\nfirst\r\n1\r\n\r\n[name]Twin\r\nsecond\r\n2\r\n\r\n";
        WindowFixture f(twins);
        f.window->List1->setCurrentRow(1); // the second entry carries the same name
        f.window->cmdEdit_Click();
        QCOMPARE(f.window->editDialog()->Text2->text(), QString("first"));
        f.window->editDialog()->close();
        f.prompter.answers = {PromptAnswer::Ok};
        f.window->cmdRemove_Click();
        QCOMPARE(f.box.readFile("00camlist.txt"),
                 QByteArray("\r\n\r\n\r\n[name]Twin\r\nsecond\r\n2\r\n\r\n\r\n"));
        QCOMPARE(listed(f), QStringList{"Twin"});
    }

    void removeAsksFirst() {
        WindowFixture f(twoCams);
        select(f, "Hill");
        f.prompter.answers = {PromptAnswer::Cancel};
        f.window->cmdRemove->click();
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.prompter.asked[0].title, QString("Confirm Delete"));
        QCOMPARE(f.prompter.asked[0].text, QString("Are you sure you want to delete Hill?"));
        QCOMPARE(f.prompter.asked[0].buttons, PromptButtons::OkCancel);
        QCOMPARE(f.box.readFile("00camlist.txt"), twoCams);

        f.prompter.answers = {PromptAnswer::Ok};
        f.window->cmdRemove_Click();
        QCOMPARE(listed(f), QStringList{"Harbour"});
        QVERIFY(!f.box.readFile("00camlist.txt").contains("Hill"));
    }

    void removingARunningCamLeavesItsPanelRunning() {
        WindowFixture f(twoCams);
        f.start("Hill");
        f.prompter.answers = {PromptAnswer::Ok};
        f.window->cmdRemove_Click();
        QVERIFY(f.window->panel(0)->isRunning());
        QCOMPARE(f.window->activeCams, qint16(1));
    }

    void aNameWithoutItsRecordIsNeitherEditedNorRemoved() {
        const QByteArray upper = "[NAME]Loud\r\nu\r\n1\r\n\r\n[name]Quiet\r\nv\r\n2\r\n\r\n";
        WindowFixture f(upper);
        select(f, "Loud");
        f.window->cmdEdit_Click();
        QVERIFY(!f.window->editDialog());
        QCOMPARE(f.prompter.asked.size(), 1);
        QVERIFY(f.prompter.asked[0].text.contains("could not be found"));
        f.window->cmdRemove_Click();
        QCOMPARE(f.prompter.asked.size(), 2);
        QVERIFY(f.prompter.asked[1].text.contains("nothing was deleted"));
        QCOMPARE(f.box.readFile("00camlist.txt"), upper);
    }

    void commandsWithoutSelectionShowTheNotice() {
        WindowFixture f(twoCams);
        f.window->cmdEdit_Click();
        f.window->cmdRemove_Click();
        QCOMPARE(f.window->findChildren<NoticeWindow*>().size(), 1);
        QVERIFY(f.prompter.asked.isEmpty());
        QVERIFY(!f.window->editDialog());
    }

    void doubleClickStartsTheCamOnce() {
        WindowFixture f(twoCams);
        select(f, "Hill");
        f.window->List1_DblClick();
        f.window->List1_DblClick();
        QCOMPARE(f.window->activeCams, qint16(1));
        QCOMPARE(f.window->panel(0)->frameCaption(), QByteArray("Hill"));
    }

    void aReadOnlyFolderIsReportedAndTheListMatchesTheFile() {
        WindowFixture f(twoCams);
        ReadOnlyFolder readOnly(f.box.programFolder());
        f.window->cmdAdd_Click();
        AddCamDialog* add = f.window->addDialog();
        type(add->Text1, "New");
        type(add->Text2, "u");
        type(add->Text3, "1");
        add->Command1_Click();
        QCOMPARE(f.prompter.asked.size(), 1);
        QVERIFY(f.prompter.asked[0].text.startsWith("The cam list could not be saved"));
        QVERIFY(f.window->addDialog()); // still open with what was typed
        QCOMPARE(listed(f), (QStringList{"Harbour", "Hill"}));

        select(f, "Hill");
        f.prompter.answers = {PromptAnswer::Ok};
        f.window->cmdRemove_Click();
        QCOMPARE(f.prompter.asked.size(), 3);
        QCOMPARE(listed(f), (QStringList{"Harbour", "Hill"}));
        QCOMPARE(f.box.readFile("00camlist.txt"), twoCams);
    }
};

QTEST_MAIN(DialogTest)
#include "test_dialogs.moc"
