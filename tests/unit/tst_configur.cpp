#include "editors/configur.h"
#include "fixture.h"
#include "platform/settingsbacking.h"
#include "platform/textview.h"
#include "settings/settingsstore.h"
#include "testfiles.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// Every "app N" key in the store, whatever its number, so that stray keys show up too.
QStringList storedLaunchKeys()
{
    QStringList keys;
    const auto reading = createSettingsBacking()->read();
    for (std::u16string_view key : reading->keys())
        keys.append(viewFrom(key).toString());
    keys = keys.filter(QStringLiteral("app "));
    keys.sort();
    return keys;
}

QWidget *nextTabStop(QWidget *from)
{
    QWidget *next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

class TestConfigur : public QObject, private Fixture
{
    Q_OBJECT

private:
    // Stands in for the main window's launch list.
    QStringList m_mainList;

    std::unique_ptr<Configur> opened()
    {
        auto editor = std::make_unique<Configur>(m_mainList);
        editor->show();
        return editor;
    }

    static void select(Configur &editor, int row) { editor.List1().item(row)->setSelected(true); }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_mainList = {QStringLiteral("stale")};
    }
    void cleanup() { tearDown(); }

    void opensWithTheStoredList_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::newRow("empty store") << QStringList();
        QTest::newRow("three entries in order")
            << QStringList {QStringLiteral("/usr/bin/zeta"), QStringLiteral("/usr/bin/alpha"),
                            QStringLiteral("/usr/bin/mid")};
    }
    void opensWithTheStoredList()
    {
        QFETCH(QStringList, list);
        QVERIFY(SaveLaunchList(list));
        auto editor = opened();
        QCOMPARE(editor->entries(), list);
        QVERIFY(editor->List1().selectedItems().isEmpty());
    }

    // One press of "Add" or "Manual" with the dialog's answer; then the close stores the list.
    void addAndManual_data()
    {
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("refused");
        const QString capitals = QStringLiteral("/home/Ann/Bin/Mail Checker");
        QTest::newRow("add cancelled") << false << QString() << QStringList() << false;
        QTest::newRow("add keeps capitals") << false << capitals << QStringList {capitals} << false;
        QTest::newRow("add keeps a missing file's name")
            << false << QStringLiteral("/nowhere/New Tool")
            << QStringList {QStringLiteral("/nowhere/New Tool")} << false;
        QTest::newRow("manual cancelled or empty") << true << QString() << QStringList() << false;
        QTest::newRow("manual keeps capitals")
            << true << capitals << QStringList {capitals} << false;
        QTest::newRow("manual keeps blanks")
            << true << QStringLiteral("  /opt/ppp tools/dialer --quiet  ")
            << QStringList {QStringLiteral("  /opt/ppp tools/dialer --quiet  ")} << false;
        QTest::newRow("manual blanks only")
            << true << QStringLiteral("   ") << QStringList {QStringLiteral("   ")} << false;
        QTest::newRow("manual arguments and quotes")
            << true << QStringLiteral("\"/opt/a b/run\" -x 'y z'")
            << QStringList {QStringLiteral("\"/opt/a b/run\" -x 'y z'")} << false;
        // A pasted path brings its line break along; one inside can never be stored.
        QTest::newRow("manual pasted with line breaks")
            << true << QStringLiteral("\r\n /opt/tool --x \n")
            << QStringList {QStringLiteral(" /opt/tool --x ")} << false;
        QTest::newRow("manual line break inside")
            << true << QStringLiteral("/opt/a\n/opt/b") << QStringList() << true;
        QTest::newRow("add a name with a line break")
            << false << QStringLiteral("/tmp/odd\nname") << QStringList() << true;
    }
    void addAndManual()
    {
        QFETCH(bool, manual);
        QFETCH(QString, answer);
        QFETCH(QStringList, added);
        QFETCH(bool, refused);
        const QStringList before {QStringLiteral("/usr/bin/first")};
        QVERIFY(SaveLaunchList(before));
        auto editor = opened();

        if (manual) {
            m_dialogs->setNextAnswer(answer);
            QTest::mouseClick(&editor->Command3(), Qt::LeftButton);
            QCOMPARE(m_dialogs->questions.size(), 1);
            QCOMPARE(m_dialogs->questions[0].prompt, Configur::prompt());
            QCOMPARE(m_dialogs->questions[0].title, QStringLiteral("Quillmoor"));
            QCOMPARE(m_dialogs->questions[0].defaultText, QString());
            QVERIFY(m_dialogs->fileFilters.isEmpty());
        } else {
            m_dialogs->setNextFileName(answer);
            QTest::mouseClick(&editor->Command1(), Qt::LeftButton);
            QCOMPARE(m_dialogs->fileFilters, QStringList {QStringLiteral("All Files (*)")});
            QVERIFY(m_dialogs->questions.isEmpty());
        }
        QCOMPARE(editor->entries(), before + added);
        // Nothing is stored and the main list is untouched until the window closes.
        QCOMPARE(storedLaunchList(), before);
        QCOMPARE(m_mainList, QStringList {QStringLiteral("stale")});

        QVERIFY(editor->close());
        QCOMPARE(storedLaunchList(), before + added);
        QCOMPARE(m_mainList, before + added);
        QCOMPARE(m_dialogs->messages.size(), refused ? 1 : 0);
    }

    // A list that cannot be stored stays in the open editor until the user lets it go.
    void failedSaveKeepsTheEdits()
    {
        const QStringList before {QStringLiteral("/usr/bin/first")};
        QVERIFY(SaveLaunchList(before));
        auto editor = opened();
        m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/second"));
        editor->Command3_Click();
        const QStringList edited = editor->entries();

        const QString folder = m_home->configPath() + QStringLiteral("/quillmoor");
        const QString aside = m_home->path() + QStringLiteral("/aside");
        QVERIFY(QFile::rename(folder, aside));
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly)); // a file where the folder was
        QVERIFY(!editor->close());
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->entries(), edited);
        QCOMPARE(m_mainList, QStringList {QStringLiteral("stale")});
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].text.contains(m_home->storePath()));

        QVERIFY(QFile::remove(folder));
        QVERIFY(QFile::rename(aside, folder));
        QVERIFY(editor->close());
        QCOMPARE(storedLaunchList(), edited);
        QCOMPARE(m_mainList, edited);

        // Choosing to discard closes it with the store as it was.
        editor = opened();
        m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/third"));
        editor->Command3_Click();
        QVERIFY(QFile::rename(folder, aside));
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        m_dialogs->setNextYesNo(true);
        QVERIFY(editor->close());
        QVERIFY(QFile::remove(folder));
        QVERIFY(QFile::rename(aside, folder));
        QCOMPARE(storedLaunchList(), edited);
        QCOMPARE(m_mainList, edited);
    }

    void removeTakesTheSelectedEntryOnly()
    {
        const QStringList list {QStringLiteral("/bin/a"), QStringLiteral("/bin/b"),
                                QStringLiteral("/bin/c")};
        QVERIFY(SaveLaunchList(list));
        auto editor = opened();

        QTest::mouseClick(&editor->Command2(), Qt::LeftButton);
        QCOMPARE(editor->entries(), list);

        select(*editor, 1);
        QTest::mouseClick(&editor->Command2(), Qt::LeftButton);
        QCOMPARE(editor->entries(),
                 (QStringList {QStringLiteral("/bin/a"), QStringLiteral("/bin/c")}));
        // The next press needs a new selection.
        QTest::mouseClick(&editor->Command2(), Qt::LeftButton);
        QCOMPARE(editor->entries().size(), 2);

        select(*editor, 1);
        QTest::mouseClick(&editor->Command2(), Qt::LeftButton);
        QVERIFY(editor->close());
        QCOMPARE(storedLaunchList(), QStringList {QStringLiteral("/bin/a")});
        QCOMPARE(storedLaunchKeys(), QStringList {QStringLiteral("app 1")});
        QCOMPARE(m_mainList, QStringList {QStringLiteral("/bin/a")});
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void duplicatesAreKept()
    {
        const QString path = QStringLiteral("/usr/bin/fetchmail");
        auto editor = opened();
        m_dialogs->setNextFileName(path);
        QTest::mouseClick(&editor->Command1(), Qt::LeftButton);
        m_dialogs->setNextAnswer(path);
        QTest::mouseClick(&editor->Command3(), Qt::LeftButton);
        m_dialogs->setNextFileName(path);
        QTest::mouseClick(&editor->Command1(), Qt::LeftButton);
        QVERIFY(editor->close());
        QCOMPARE(storedLaunchKeys(),
                 (QStringList {QStringLiteral("app 1"), QStringLiteral("app 2"),
                               QStringLiteral("app 3")}));
        QCOMPARE(storedLaunchList(), (QStringList {path, path, path}));
        QCOMPARE(m_mainList, (QStringList {path, path, path}));
    }

    void removingEveryEntryLeavesNoKey_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("a hundred") << 100;
        QTest::newRow("past the hundred") << 130;
    }
    void removingEveryEntryLeavesNoKey()
    {
        QFETCH(int, count);
        QVERIFY(SaveLaunchList(numbered(QStringLiteral("/usr/bin/prog"), count)));
        auto editor = opened();
        QCOMPARE(editor->List1().count(), count);
        while (editor->List1().count() > 0) {
            select(*editor, 0);
            editor->Command2_Click();
        }
        QVERIFY(editor->close());
        QCOMPARE(storedLaunchKeys(), QStringList());
        QCOMPARE(m_mainList, QStringList());
    }

    void reopeningShowsWhatWasStoredAtClose()
    {
        QVERIFY(SaveLaunchList(numbered(QStringLiteral("/usr/bin/prog"), 3)));
        {
            auto editor = opened();
            select(*editor, 0);
            editor->Command2_Click();
            m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/Last One"));
            editor->Command3_Click();
            QVERIFY(editor->close());
        }
        const QStringList expected {QStringLiteral("/usr/bin/prog2"),
                                    QStringLiteral("/usr/bin/prog3"),
                                    QStringLiteral("/usr/bin/Last One")};
        auto again = opened();
        QCOMPARE(again->entries(), expected);
        QCOMPARE(m_mainList, expected);
    }

    void aFullListTakesNoMore()
    {
        const int full = SettingsStore::MaxEntries;
        auto editor = opened();
        editor->List1().addItems(numbered(QStringLiteral("/usr/bin/prog"), full));
        editor->Command1_Click();
        editor->Command3_Click();
        QCOMPARE(editor->List1().count(), full);
        // Refused before asking, so that nobody picks a file that is then dropped.
        QVERIFY(m_dialogs->fileFilters.isEmpty());
        QVERIFY(m_dialogs->questions.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 2);
        QVERIFY(m_dialogs->messages[0].text.contains(QStringLiteral("32767")));
        QCOMPARE(m_dialogs->messages[0].icon, Corvath::MessageIcon::Critical);

        select(*editor, full - 1);
        editor->Command2_Click();
        m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/fits again"));
        editor->Command3_Click();
        QCOMPARE(editor->List1().count(), full);
        QCOMPARE(editor->entries().constLast(), QStringLiteral("/usr/bin/fits again"));
    }

    void windowLayout()
    {
        auto editor = opened();
        QCOMPARE(editor->size(), QSize(339, 96));
        QCOMPARE(editor->minimumSize(), editor->maximumSize());
        QCOMPARE(nextTabStop(&editor->List1()), &editor->Command1());
        QCOMPARE(nextTabStop(&editor->Command1()), &editor->Command2());
        QCOMPARE(nextTabStop(&editor->Command2()), &editor->Command3());
        QCOMPARE(nextTabStop(&editor->Command3()), &editor->List1());
        // Whatever the desktop's font, no caption is cut off.
        for (QWidget *control : {static_cast<QWidget *>(&editor->Label1()),
                                 static_cast<QWidget *>(&editor->Command1()),
                                 static_cast<QWidget *>(&editor->Command2()),
                                 static_cast<QWidget *>(&editor->Command3())}) {
            const QString text = control->property("text").toString();
            QVERIFY2(QFontMetrics(control->font()).horizontalAdvance(text) <= control->width(),
                     qPrintable(text));
        }

        // The background shows around the controls and behind the transparent label.
        const QImage shot = editor->grab().toImage();
        const QImage art(QStringLiteral(":/configur.png"));
        QCOMPARE(art.size(), QSize(375, 134));
        QCOMPARE(shot.pixelColor(3, 3), art.pixelColor(3, 3));
        QCOMPARE(shot.pixelColor(334, 92), art.pixelColor(334, 92));
        QCOMPARE(shot.pixelColor(127, 9), art.pixelColor(127, 9));
    }
};

QTEST_MAIN(TestConfigur)
#include "tst_configur.moc"
