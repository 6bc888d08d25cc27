#include "about/frmabout.h"
#include "fixture.h"
#include "mimedefaults.h"
#include "shell/menue.h"
#include "testfiles.h"
#include "urlrecorder.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

QColor textColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

bool centredOnWorkArea(const QWidget &window)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = window.frameGeometry().center() - area.center();
    return qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1;
}

// A stand-in system information program that notes its own name when it runs.
bool writeProgram(const QString &path, const QString &log, const QByteArray &interpreter)
{
    return !writeScript(path, "echo \"${0##*/}\" >> '" + log.toUtf8() + "'\n", interpreter)
                .isEmpty();
}

} // namespace

class TestFrmAbout : public QObject, private Fixture
{
    Q_OBJECT

private:
    MimeDefaults m_mime; // no browser of the desktop's: pages reach the recorder
    UrlRecorder m_pages;
    QByteArray m_path;

    // A box as the menu makes it: deleted when it closes.
    static QPointer<frmAbout> shownBox()
    {
        QPointer<frmAbout> box = new frmAbout;
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        box->activateWindow();
        return box;
    }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_pages.opened.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_pages, "open");
        m_path = qgetenv("PATH");
    }
    void cleanup()
    {
        qputenv("PATH", m_path);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        for (QWidget *window : QApplication::topLevelWidgets())
            delete qobject_cast<frmAbout *>(window);
        tearDown();
    }

    void window()
    {
        frmAbout box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About Quillmoor 1.0"));
        QCOMPARE(box.size(), QSize(332, 207));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!box.windowIcon().isNull());
        QVERIFY(!box.picIcon().pixmap().isNull());
    }

    // Each control where the user can see and reach it, the warning never seen; labels let the
    // background through and never take the focus; the buttons say what they do.
    void controls()
    {
        frmAbout box;
        const QRect inside(QPoint(), box.size());
        for (const QWidget *control : box.findChildren<QWidget *>()) {
            const bool seen = control != &box.lblDisclaimer();
            QVERIFY2(inside.contains(control->geometry()) == seen,
                     qPrintable(control->objectName()));
            if (const auto *label = qobject_cast<const QLabel *>(control)) {
                QVERIFY(!label->autoFillBackground());
                QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            }
        }
        QVERIFY(!inside.intersects(box.lblDisclaimer().geometry()));
        QCOMPARE((QStringList {box.cmdOK().text(), box.cmdSysInfo().text(), box.Command1().text()}),
                 (QStringList {u"OK"_s, u"&System Info..."_s, u"Visit Corvath Designs"_s}));
        QCOMPARE(box.lblDescription().text(), frmAbout::description());
    }

    void fontsAndColours()
    {
        frmAbout box;
        QCOMPARE(box.lblTitle().font().pointSize(), 18);
        QCOMPARE(box.lblVersion().font().pointSize(), 12);
        for (const QLabel *label : {&box.lblTitle(), &box.lblVersion(), &box.lblDescription()}) {
            QVERIFY(!label->font().bold());
            QCOMPARE(label->font().styleHint(), QFont::SansSerif);
        }
        QCOMPARE(textColor(&box.lblTitle()), QColor(Qt::white));
        QCOMPARE(textColor(&box.lblDescription()), QColor(Qt::white));
        QCOMPARE(textColor(&box.lblVersion()), box.palette().color(QPalette::HighlightedText));
        QCOMPARE(textColor(&box.lblDisclaimer()), QColor(Qt::black));
    }

    // Whatever font stands in for MS Sans Serif, nothing is cut off.
    void textFits()
    {
        frmAbout box;
        const QLabel &description = box.lblDescription();
        QVERIFY(QFontInfo(description.font()).pixelSize() <= QFontInfo(box.font()).pixelSize());
        const QRect needed = QFontMetrics(description.font())
                                 .boundingRect(QRect(QPoint(), description.size()),
                                               Qt::TextWordWrap, description.text());
        QVERIFY2(needed.height() <= description.height(),
                 qPrintable(QString::number(needed.height())));
        for (const QPushButton *button : {&box.cmdOK(), &box.cmdSysInfo(), &box.Command1()}) {
            const QString caption = QString(button->text()).remove(u'&');
            QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(caption) + 8 <= button->width(),
                     qPrintable(caption));
        }
        for (const QLabel *label : {&box.lblTitle(), &box.lblVersion()}) {
            const QFontMetrics metrics(label->font());
            QVERIFY(metrics.horizontalAdvance(label->text()) <= label->width());
        }
    }

    void backgroundIsDarkBlueAndTheWarningUnseen()
    {
        const QPointer<frmAbout> box = shownBox();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        const QImage shot = box->grab().toImage();
        QCOMPARE(shot.size(), QSize(332, 207));
        // Spots that no control covers.
        for (const QPoint spot : {QPoint(5, 5), QPoint(320, 70), QPoint(40, 150)}) {
            const QColor pixel = shot.pixelColor(spot);
            QVERIFY2(pixel.blue() > pixel.red() + 30 && pixel.blue() > pixel.green() + 20
                         && pixel.lightness() < 110,
                     qPrintable(pixel.name()));
        }
        QVERIFY(box->lblDisclaimer().geometry().top() >= box->height());
        QVERIFY(box->lblDisclaimer().visibleRegion().isEmpty());
    }

    void focusStartsOnOkAndTabsOverButtons()
    {
        const QPointer<frmAbout> box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(box));
        QCOMPARE(QApplication::focusWidget(), &box->cmdOK());
        QVERIFY(box->cmdOK().isDefault());
        QList<QWidget *> visited;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget());
        }
        QCOMPARE(visited, (QList<QWidget *> {&box->cmdSysInfo(), &box->Command1(), &box->cmdOK()}));
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("opensPage");
        QTest::newRow("Enter on OK")
            << QStringLiteral("cmdOK") << int(Qt::Key_Return) << true << false;
        QTest::newRow("Esc on OK")
            << QStringLiteral("cmdOK") << int(Qt::Key_Escape) << true << false;
        QTest::newRow("Esc on Visit")
            << QStringLiteral("Command1") << int(Qt::Key_Escape) << true << false;
        QTest::newRow("Enter on Visit")
            << QStringLiteral("Command1") << int(Qt::Key_Return) << false << true;
        QTest::newRow("Space on Visit")
            << QStringLiteral("Command1") << int(Qt::Key_Space) << false << true;
    }
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, closes);
        QFETCH(bool, opensPage);
        QPointer<frmAbout> box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(box));
        box->findChild<QPushButton *>(focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        if (closes)
            QTRY_VERIFY(box.isNull());
        else
            QVERIFY(box && box->isVisible());
        QCOMPARE(m_pages.opened.size(), opensPage ? 1 : 0);
    }

    void visitOpensTheMakersPage()
    {
        const QPointer<frmAbout> box = shownBox();
        box->Command1().click();
        QCOMPARE(m_pages.opened, QList<QUrl> {QUrl(QStringLiteral(QUILLMOOR_MAKER_URL))});
        QCOMPARE(frmAbout::makerUrl(), QStringLiteral(QUILLMOOR_MAKER_URL));
        QVERIFY(box->isVisible());
        QVERIFY(m_dialogs->messages.isEmpty());

        // With no handler and no opener or browser on PATH, the page cannot be opened.
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        const QTemporaryDir empty;
        qputenv("PATH", empty.path().toUtf8());
        box->Command1().click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        const FakeDialogs::Message &message = m_dialogs->messages.constFirst();
        QCOMPARE(message.title, QStringLiteral("Error"));
        QCOMPARE(message.icon, Corvath::MessageIcon::Critical);
        QVERIFY2(message.text.contains(QStringLiteral(QUILLMOOR_MAKER_URL)),
                 qPrintable(message.text));
        QVERIFY(box->isVisible());
    }

    // Each entry is name:kind, kind one of program, plain (not executable), folder, broken
    // (its interpreter is missing).
    void systemInformation_data()
    {
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QString>("started");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("one") << QStringList {QStringLiteral("kinfocenter:program")}
                             << QStringLiteral("kinfocenter");
        QTest::newRow("first of the list wins")
            << QStringList {QStringLiteral("gnome-system-monitor:program"),
                            QStringLiteral("hardinfo:program")}
            << QStringLiteral("hardinfo");
        QTest::newRow("not executable is skipped")
            << QStringList {QStringLiteral("hardinfo:plain"), QStringLiteral("kinfocenter:program")}
            << QStringLiteral("kinfocenter");
        QTest::newRow("folder is skipped")
            << QStringList {QStringLiteral("hardinfo:folder"),
                            QStringLiteral("xfce4-taskmanager:program")}
            << QStringLiteral("xfce4-taskmanager");
        QTest::newRow("unrelated program")
            << QStringList {QStringLiteral("htop:program")} << QString();
        QTest::newRow("start fails")
            << QStringList {QStringLiteral("kinfocenter:broken")} << QString();
    }
    void systemInformation()
    {
        QFETCH(QStringList, onPath);
        QFETCH(QString, started);
        QTemporaryDir bin;
        QTemporaryDir logs;
        const QString log = logs.filePath(QStringLiteral("started"));
        for (const QString &entry : onPath) {
            const QString name = entry.section(u':', 0, 0);
            const QString kind = entry.section(u':', 1);
            const QString path = bin.filePath(name);
            if (kind == QStringLiteral("folder")) {
                QVERIFY(QDir().mkpath(path));
            } else {
                QVERIFY(writeProgram(
                    path, log, kind == QStringLiteral("broken") ? "/nonexistent/sh" : "/bin/sh"));
                if (kind == QStringLiteral("plain"))
                    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
            }
        }
        qputenv("PATH", bin.path().toUtf8());

        const QPointer<frmAbout> box = shownBox();
        box->cmdSysInfo().click();
        QVERIFY(box->isVisible());
        if (started.isEmpty()) {
            QCOMPARE(m_dialogs->messages.size(), 1);
            QCOMPARE(m_dialogs->messages.constFirst().text, Unavailable);
            QCOMPARE(m_dialogs->messages.constFirst().title, QStringLiteral("Quillmoor"));
            QCOMPARE(m_dialogs->messages.constFirst().icon, Corvath::MessageIcon::NoIcon);
            // The start failed before anything ran.
            QVERIFY(!QFile::exists(log));
            return;
        }
        QVERIFY(m_dialogs->messages.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(log).size() > 0, 20000);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).trimmed(), started);
    }

    void menuKeepsOneBoxAndMakesItAfresh()
    {
        Menue menue(*m_net, *m_starter);
        menue.sAbout().trigger();
        QList<frmAbout *> boxes = menue.findChildren<frmAbout *>();
        QCOMPARE(boxes.size(), 1);
        QPointer<frmAbout> first = boxes.constFirst();
        QVERIFY(first->isVisible());
        QVERIFY(centredOnWorkArea(*first));

        // Shown again while open: the same window, left where the user put it.
        first->move(first->pos() + QPoint(40, 25));
        const QPoint moved = first->pos();
        menue.sAbout().trigger();
        QCOMPARE(menue.findChildren<frmAbout *>(), QList<frmAbout *> {first.data()});
        QCOMPARE(first->pos(), moved);

        first->cmdOK().click();
        QTRY_VERIFY(first.isNull());
        menue.sAbout().trigger();
        boxes = menue.findChildren<frmAbout *>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.constFirst()->isVisible());
        QVERIFY(centredOnWorkArea(*boxes.constFirst()));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
