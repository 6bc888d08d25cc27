#include "fixture.h"
#include "mimedefaults.h"
#include "settings/documentopener.h"
#include "shell/menue.h"
#include "shell/readme.h"
#include "testfiles.h"
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
    return writeFile(path, "Quillmoor\n");
}

} // namespace

class TestReadMe : public QObject, private Fixture
{
    Q_OBJECT

private:
    MimeDefaults m_mime;
    UrlRecorder m_recorder;
    QTemporaryDir m_dir;
    QTemporaryDir m_bin; // the text viewer, set for plain text and HTML

    QString viewedNote() const { return m_bin.filePath(QStringLiteral("viewed")); }
    QList<QUrl> viewed() const
    {
        QFile note(viewedNote());
        QList<QUrl> urls;
        if (note.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : note.readAll().split('\n'))
                if (!line.isEmpty())
                    urls.append(QUrl::fromLocalFile(QString::fromUtf8(line)));
        }
        return urls;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(!writeScript(m_bin.filePath(QStringLiteral("viewer")),
                             "printf '%s\\n' \"$1\" >> '" + viewedNote().toUtf8() + "'\n")
                     .isEmpty());
        qputenv("PATH", (m_bin.path() + u':' + qEnvironmentVariable("PATH")).toUtf8());
        QVERIFY(m_mime.setDefault(QStringLiteral("viewer.desktop"),
                                  "[Desktop Entry]\nType=Application\nName=V\nExec=viewer %f\n",
                                  {QStringLiteral("text/plain"), QStringLiteral("text/html")}));
        QVERIFY(m_mime.install(QStringLiteral("pdf.desktop"),
                               "[Desktop Entry]\nType=Application\nName=P\nExec=viewer %f\n"
                               "MimeType=application/pdf;\n"));
    }
    void init()
    {
        setUp();
        QFile::remove(viewedNote());
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
            QTRY_COMPARE(viewed(), QList<QUrl> {QUrl::fromLocalFile(readme)});
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

    // The viewer gone from PATH; the desktop's opener missing, or present with no method.
    void readMeWithoutAViewerSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("opener");
        QTest::newRow("no opener") << QByteArray();
        QTest::newRow("opener with no method")
            << QByteArray("echo 'xdg-open: no method available' >&2\nexit 3\n");
    }
    void readMeWithoutAViewerSaysWhy()
    {
        QFETCH(QByteArray, opener);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QTemporaryDir bin;
        if (!opener.isEmpty())
            QVERIFY(!writeScript(bin.filePath(QStringLiteral("xdg-open")), opener).isEmpty());
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        const QString readme = m_dir.filePath(QStringLiteral("readme.txt"));
        QVERIFY(touch(readme));
        Corvath::OpenReadMe(m_dir.path());
        qputenv("PATH", path);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.constFirst().text,
                 QStringLiteral("Could not open ") + readme
                     + QStringLiteral(": no application is set to open it."));
    }

    void menuItemLooksBesideTheProgram()
    {
        Menue menue(*m_net, *m_starter);
        const QString readme
            = QCoreApplication::applicationDirPath() + QStringLiteral("/readme.txt");
        QVERIFY2(!QFileInfo::exists(readme), "the test's own folder must hold no readme.txt");
        menue.sReadMe().trigger();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.constFirst().text,
                 QStringLiteral("Could not find README.TXT in the ")
                     + QCoreApplication::applicationDirPath() + QStringLiteral(" directory."));
    }

    void openDocument_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("byViewer"); // else by the desktop's opener
        const QString existing = m_dir.filePath(QStringLiteral("a b#c?.html"));
        QVERIFY(touch(existing));
        QTest::newRow("web address") << QStringLiteral("https://corvath.example/")
                                     << QUrl(QStringLiteral("https://corvath.example/")) << false;
        QTest::newRow("mail address") << QStringLiteral("mailto:me@corvath.example")
                                      << QUrl(QStringLiteral("mailto:me@corvath.example")) << false;
        QTest::newRow("file with # and ?") << existing << QUrl::fromLocalFile(existing) << true;
        // As the launch list opens it: by the application that lists the type, set or not.
        const QString report = m_dir.filePath(QStringLiteral("Report.pdf"));
        QVERIFY(touch(report));
        QTest::newRow("file whose application is installed only")
            << report << QUrl::fromLocalFile(report) << true;
        QTest::newRow("missing file, still handed over")
            << QStringLiteral("/nonexistent/notes.txt")
            << QUrl::fromLocalFile(QStringLiteral("/nonexistent/notes.txt")) << false;
        QTest::newRow("relative path")
            << QStringLiteral("notes.txt")
            << QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("notes.txt"))) << false;
    }
    void openDocument()
    {
        QFETCH(QString, path);
        QFETCH(QUrl, url);
        QFETCH(bool, byViewer);
        QVERIFY(Corvath::OpenDocument(path));
        if (byViewer)
            QTRY_COMPARE(viewed(), QList<QUrl> {url});
        else
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
