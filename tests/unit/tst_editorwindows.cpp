#include "editors/configur.h"
#include "editors/editicon.h"
#include "fixture.h"
#include "logic/iconsetting.h"
#include "settings/settingsstore.h"
#include "shell/menue.h"
#include "shell/qtdialogs.h"
#include "shell/splash.h"
#include "widgets/centerform.h"
#include "widgets/tray.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

template<typename Window> QList<Window *> windowsOf(Menue &menue)
{
    QList<Window *> open;
    for (Window *window : menue.findChildren<Window *>()) {
        if (window->isVisible())
            open.append(window);
    }
    return open;
}

void deleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Centred on the offscreen screen (800 x 800), to the half pixel rounded.
bool centred(const QWidget &window)
{
    const QRect frame = window.frameGeometry();
    return qAbs(2 * frame.x() + frame.width() - 800) <= 1
        && qAbs(2 * frame.y() + frame.height() - 800) <= 1;
}

} // namespace

class TestEditorWindows : public QObject, private Fixture
{
    Q_OBJECT

private:
private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void centerFormCentresOnTheWorkArea_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("small") << QSize(200, 100) << QPoint(300, 350);
        // 299.5 and 350.5: halves go to the even neighbour.
        QTest::newRow("odd size, a half to even") << QSize(201, 99) << QPoint(300, 350);
        QTest::newRow("larger than the screen") << QSize(3000, 2500) << QPoint(-1100, -850);
    }
    void centerFormCentresOnTheWorkArea()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, place);
        QWidget window;
        window.setFixedSize(size);
        window.move(5, 7);
        Corvath::CenterForm(window);
        QCOMPARE(window.pos(), place);
        QCOMPARE(window.size(), size);
    }

    void launchListEditorIsOneWindowAtATime()
    {
        QVERIFY(SaveLaunchList({QStringLiteral("/usr/bin/old")}));
        auto menue = startMenue();
        menue->sEditLaunch().trigger();
        const QList<Configur *> first = windowsOf<Configur>(*menue);
        QCOMPARE(first.size(), 1);
        QVERIFY(!first[0]->isModal());
        QVERIFY(first[0]->isWindow());
        QVERIFY(centred(*first[0]));

        // Choosing the item again brings up the same window with its unsaved edits.
        m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/New"));
        first[0]->Command3_Click();
        menue->sEditLaunch().trigger();
        QCOMPARE(windowsOf<Configur>(*menue), first);
        QCOMPARE(first[0]->entries(),
                 (QStringList {QStringLiteral("/usr/bin/old"), QStringLiteral("/usr/bin/New")}));
        QCOMPARE(menue->List1(), QStringList {QStringLiteral("/usr/bin/old")});

        QPointer<Configur> closed = first[0];
        QVERIFY(closed->close());
        QCOMPARE(menue->List1(),
                 (QStringList {QStringLiteral("/usr/bin/old"), QStringLiteral("/usr/bin/New")}));
        // Chosen again before the closed window is gone: a fresh one all the same.
        menue->sEditLaunch().trigger();
        const QList<Configur *> second = windowsOf<Configur>(*menue);
        QCOMPARE(second.size(), 1);
        QVERIFY(second[0] != closed.data());
        deleteClosed();
        QVERIFY(closed.isNull());
        QCOMPARE(second[0]->entries(), menue->List1());
    }

    void trayIconEditorIsOneWindowAtATime()
    {
        const QString file = m_home->path() + QStringLiteral("/Red.ico");
        QImage red(32, 32, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(file, "ICO"));
        auto menue = startMenue();
        menue->sEditSysTrayIcon().trigger();
        const QList<EditIcon *> first = windowsOf<EditIcon>(*menue);
        QCOMPARE(first.size(), 1);
        QVERIFY(!first[0]->isModal());
        QVERIFY(centred(*first[0]));

        m_dialogs->setNextFileName(file);
        first[0]->Command2_Click();
        const QImage shown = menue->tray().shownIcon().pixmap(32, 32).toImage().convertToFormat(
            QImage::Format_ARGB32);
        QCOMPARE(shown, red);

        // Open already: the preview is kept and the setting is not read again.
        QVERIFY(IconSetting::setting.set(IconSetting::builtIn()));
        menue->sEditSysTrayIcon().trigger();
        QCOMPARE(windowsOf<EditIcon>(*menue), first);
        QCOMPARE(
            first[0]->picture().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
            red);

        QPointer<EditIcon> closed = first[0];
        QVERIFY(closed->close());
        deleteClosed();
        QVERIFY(closed.isNull());
        // Nothing was stored on close, nor removed: the empty fallback tells a missing key.
        QCOMPARE(ReadSetting(IconSetting::setting.key(), QString()), QStringLiteral("Internal"));
        menue->sEditSysTrayIcon().trigger();
        QCOMPARE(windowsOf<EditIcon>(*menue).size(), 1);
    }

    // The "Add" and "Browse For Icon" dialog, the real one, with a name typed into it.
    void fileDialogTakesTheTypedName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inFolder"); // a name in the folder shown, else the line itself
        QTest::newRow("quote inside") << u"my\"file"_s << true;
        QTest::newRow("existing file with quotes") << u"say \"hi\".txt"_s << true;
        QTest::newRow("blanks") << u"plain name"_s << true;
        QTest::newRow("quoted command line") << u"\"/opt/My Apps/Entry1\" arg"_s << false;
    }
    // The box that is only opened is shown, modal, when the call returns.
    void openedBoxReturnsAtOnce()
    {
        QtDialogs dialogs;
        dialogs.openMessageBox(u"Error 5 Has Occured!"_s, u"Error!"_s,
                               Corvath::MessageIcon::Critical);
        QPointer box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), u"Error 5 Has Occured!"_s);
        box->accept();
        QTRY_VERIFY(box.isNull());
    }

    void fileDialogTakesTheTypedName()
    {
        QFETCH(QString, typed);
        QFETCH(bool, inFolder);
        const QString folder = m_home->path();
        QFile existing(folder + u"/say \"hi\".txt"_s);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        QTimer::singleShot(0, [typed, folder] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setDirectory(folder);
            auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QVERIFY(edit);
            edit->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.openFileName(u"All Files (*)"_s),
                 inFolder ? folder + u'/' + typed : typed);
    }

    // Ending is for good in this process, so this runs last.
    void exitWithTheEditorOpenKeepsTheStoredList()
    {
        const QStringList before {QStringLiteral("/usr/bin/kept")};
        QVERIFY(SaveLaunchList(before));
        auto menue = startMenue();
        menue->sEditLaunch().trigger();
        QPointer<Configur> editor = windowsOf<Configur>(*menue).value(0);
        QVERIFY(editor);
        m_dialogs->setNextAnswer(QStringLiteral("/usr/bin/lost"));
        editor->Command3_Click();
        select(*editor);
        editor->Command2_Click();

        menue->sExit().trigger();
        QVERIFY(Corvath::IsEnding());
        // Not even a close that arrives on the way out stores the edits.
        editor->close();
        menue.reset();
        QVERIFY(editor.isNull());
        QStringList stored;
        LoadLaunchList(stored);
        QCOMPARE(stored, before);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

private:
    static void select(Configur &editor) { editor.List1().item(0)->setSelected(true); }
};

QTEST_MAIN(TestEditorWindows)
#include "tst_editorwindows.moc"
