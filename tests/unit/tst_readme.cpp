#include "fixture.h"
#include "settings/documentopener.h"
#include "shell/menue.h"
#include "shell/readme.h"
#include "urlrecorder.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

#include <memory>

namespace {

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("Quillmoor\n") > 0;
}

} // namespace

class TestReadMe : public QObject, private Fixture
{
    Q_OBJECT

private:
    UrlRecorder m_recorder;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init()
    {
        setUp();
        m_recorder.opened.clear();
        for (const char *scheme : {"file", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_recorder, "open");
    }
    void cleanup()
    {
        for (const char *scheme : {"file", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        tearDown();
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("exists");
        QTest::newRow("regular file") << QStringLiteral("file") << true;
        QTest::newRow("link to a file") << QStringLiteral("link") << true;
        QTest::newRow("directory") << QStringLiteral("directory") << false;
        QTest::newRow("missing") << QStringLiteral("missing") << false;
        QTest::newRow("dangling link") << QStringLiteral("dangling") << false;
        QTest::newRow("named pipe") << QStringLiteral("fifo") << false;
        QTest::newRow("below a file") << QStringLiteral("below-file") << false;
        QTest::newRow("empty path") << QStringLiteral("empty") << false;
    }
    void fileExists()
    {
        QFETCH(QString, kind);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plain.txt"));
        QVERIFY(touch(file));
        QString path = dir.filePath(kind);
        if (kind == QStringLiteral("file"))
            path = file;
        else if (kind == QStringLiteral("link"))
            QVERIFY(QFile::link(file, path));
        else if (kind == QStringLiteral("directory"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QStringLiteral("dangling"))
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
        else if (kind == QStringLiteral("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QStringLiteral("below-file"))
            path = file + QStringLiteral("/readme.txt");
        else if (kind == QStringLiteral("empty"))
            path.clear();
        QCOMPARE(Corvath::FileExists(path), exists);
    }

    void readMe_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("present");
        QTest::newRow("found") << QStringLiteral("prog") << QStringLiteral("file");
        QTest::newRow("missing") << QStringLiteral("prog") << QString();
        QTest::newRow("a directory") << QStringLiteral("prog") << QStringLiteral("directory");
        QTest::newRow("other case only") << QStringLiteral("prog") << QStringLiteral("README.TXT");
        QTest::newRow("capitals, found")
            << QStringLiteral("Program Files/QuillMoor") << QStringLiteral("file");
        QTest::newRow("capitals, missing")
            << QStringLiteral("Program Files/QuillMoor") << QString();
        QTest::newRow("odd characters, found")
            << QStringLiteral("a #b% c?d") << QStringLiteral("file");
    }
    void readMe()
    {
        QFETCH(QString, folder);
        QFETCH(QString, present);
        QTemporaryDir root;
        const QString dir = root.filePath(folder);
        const QString readme = dir + QStringLiteral("/readme.txt");
        QVERIFY(QDir().mkpath(dir));
        if (present == QStringLiteral("file"))
            QVERIFY(touch(readme));
        else if (present == QStringLiteral("directory"))
            QVERIFY(QDir().mkpath(readme));
        else if (!present.isEmpty())
            QVERIFY(touch(dir + u'/' + present));

        Corvath::OpenReadMe(dir);

        if (present == QStringLiteral("file")) {
            QVERIFY(m_dialogs->messages.isEmpty());
            QCOMPARE(m_recorder.opened, QList<QUrl> {QUrl::fromLocalFile(readme)});
            return;
        }
        QVERIFY(m_recorder.opened.isEmpty());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const FakeDialogs::Message &message = m_dialogs->messages.constFirst();
        // The directory exactly as it is spelt on disk.
        QCOMPARE(message.text,
                 QStringLiteral("Could not find README.TXT in the ") + dir
                     + QStringLiteral(" directory."));
        QCOMPARE(message.title, QStringLiteral("Error"));
        QCOMPARE(message.icon, Corvath::MessageIcon::Critical);
    }

    void readMeWithoutAViewerSaysSo()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toUtf8()); // no xdg-open, no desktop to ask
        QVERIFY(touch(m_dir.filePath(QStringLiteral("readme.txt"))));
        Corvath::OpenReadMe(m_dir.path());
        qputenv("PATH", path);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(
            m_dialogs->messages.constFirst().text.startsWith(QStringLiteral("Could not open ")),
            qPrintable(m_dialogs->messages.constFirst().text));
    }

    void menuItemLooksBesideTheProgram()
    {
        Menue menue;
        const QString readme
            = QCoreApplication::applicationDirPath() + QStringLiteral("/readme.txt");
        QVERIFY2(!QFileInfo::exists(readme), "the test's own folder must hold no readme.txt");
        menue.sReadMe->trigger();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.constFirst().text,
                 QStringLiteral("Could not find README.TXT in the ")
                     + QCoreApplication::applicationDirPath() + QStringLiteral(" directory."));
    }

    void openDocument_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QUrl>("url");
        const QString existing = m_dir.filePath(QStringLiteral("a b#c?.html"));
        QVERIFY(touch(existing));
        QTest::newRow("web address") << QStringLiteral("https://corvath.example/")
                                     << QUrl(QStringLiteral("https://corvath.example/"));
        QTest::newRow("mail address") << QStringLiteral("mailto:me@corvath.example")
                                      << QUrl(QStringLiteral("mailto:me@corvath.example"));
        QTest::newRow("file with # and ?") << existing << QUrl::fromLocalFile(existing);
        QTest::newRow("missing file, still handed over")
            << QStringLiteral("/nonexistent/notes.txt")
            << QUrl::fromLocalFile(QStringLiteral("/nonexistent/notes.txt"));
        QTest::newRow("relative path")
            << QStringLiteral("notes.txt")
            << QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("notes.txt")));
    }
    void openDocument()
    {
        QFETCH(QString, path);
        QFETCH(QUrl, url);
        QVERIFY(Corvath::OpenDocument(path));
        QCOMPARE(m_recorder.opened, QList<QUrl> {url});
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void openDocumentWithNothingOpensNothing()
    {
        QVERIFY(!Corvath::OpenDocument(QString()));
        QVERIFY(m_recorder.opened.isEmpty());
    }
};

QTEST_MAIN(TestReadMe)
#include "tst_readme.moc"
