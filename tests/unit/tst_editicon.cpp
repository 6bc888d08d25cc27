#include "editors/editicon.h"
#include "fixture.h"
#include "logic/iconsetting.h"
#include "settings/settingsstore.h"
#include "testfiles.h"
#include "testicons.h"
#include "widgets/tray.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Read for a missing key: the typed value would read "Internal", as for a stored one.
const QString NoKey = QStringLiteral("<no key>");

QImage expectedImage(const QString &name)
{
    if (name == QLatin1String("red"))
        return square(Qt::red);
    if (name == QLatin1String("blue"))
        return square(Qt::blue);
    if (name == QLatin1String("green"))
        return square(Qt::green);
    return imageOf(builtInIcon());
}

} // namespace

class TestEditIcon : public QObject, private Fixture
{
    Q_OBJECT

private:
    std::unique_ptr<Tray> m_tray;
    QString m_dir;

    // The tray starts out showing green, so that a change the editor makes without an action
    // stays invisible until the next one.
    std::unique_ptr<EditIcon> opened()
    {
        auto editor = std::make_unique<EditIcon>(*m_tray);
        editor->show();
        return editor;
    }

    QImage previewed(const EditIcon &editor) const
    {
        const QImage shown
            = editor.Picture1().pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        // What the preview draws is the picture the editor holds.
        if (shown != imageOf(editor.picture()))
            return {};
        return shown;
    }

    QString path(const QString &name) const { return name.isEmpty() ? name : m_dir + name; }

private Q_SLOTS:
    void init()
    {
        setUp();
        m_dir = m_home->path() + QStringLiteral("/icons/");
        // "internal" is a file here, which the lower-case word must name.
        QVERIFY(writeIconFiles(m_dir));
        QVERIFY(square(Qt::red).save(m_dir + QStringLiteral("Red Icon.ICO"), "ICO"));
        for (const auto &[name, images] :
             {std::pair {u"sizes.ico"_s,
                         QList {square(Qt::red, 16), square(Qt::blue), square(Qt::green, 48)}},
              std::pair {u"large first.ico"_s,
                         QList {square(Qt::green, 256), square(Qt::red, 16), square(Qt::blue)}}})
            QVERIFY(writeFile(m_dir + name, icoFile(images)));
        QVERIFY(QDir::setCurrent(m_dir));

        m_tray = std::make_unique<Tray>(builtInIcon());
        m_tray->setIcon(QIcon(QPixmap::fromImage(square(Qt::green))));
        m_tray->setAction(Tray::Add);
    }
    void cleanup()
    {
        m_tray.reset();
        tearDown();
    }

    void load_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shows");
        QTest::newRow("empty store") << NoKey << QStringLiteral("built-in");
        QTest::newRow("keyword") << QStringLiteral("Internal") << QStringLiteral("built-in");
        QTest::newRow("icon file") << QStringLiteral("blue.ico") << QStringLiteral("blue");
        QTest::newRow("lower-case keyword is a path")
            << QStringLiteral("internal") << QStringLiteral("red");
        QTest::newRow("missing file") << QStringLiteral("gone.ico") << QStringLiteral("built-in");
        QTest::newRow("not a picture") << QStringLiteral("text.ico") << QStringLiteral("built-in");
        QTest::newRow("cut-off icon")
            << QStringLiteral("truncated.ico") << QStringLiteral("built-in");
        QTest::newRow("a folder") << QStringLiteral(".") << QStringLiteral("built-in");
    }
    void load()
    {
        QFETCH(QString, value);
        QFETCH(QString, shows);
        if (value != NoKey)
            QVERIFY(IconSetting::setting.set(IconSetting(value)));
        auto editor = opened();
        QCOMPARE(previewed(*editor), expectedImage(shows));
        // The icon is handed over without an add or modify.
        QCOMPARE(imageOf(m_tray->shownIcon()), square(Qt::green));
        m_tray->setAction(Tray::Modify);
        QCOMPARE(imageOf(m_tray->shownIcon()), expectedImage(shows));
        QCOMPARE(ReadSetting(IconSetting::setting.key(), NoKey), value);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // Browse starts from a stored blue icon.
    void browse_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("tray");
        QTest::addColumn<bool>("stores");
        QTest::newRow("cancelled")
            << QString() << QStringLiteral("blue") << QStringLiteral("green") << false;
        QTest::newRow("icon file with capitals")
            << QStringLiteral("Red Icon.ICO") << QStringLiteral("red") << QStringLiteral("red")
            << true;
        QTest::newRow("typed name of a missing file")
            << QStringLiteral("Not There.ico") << QStringLiteral("blue") << QStringLiteral("blue")
            << true;
        QTest::newRow("not a picture") << QStringLiteral("text.ico") << QStringLiteral("blue")
                                       << QStringLiteral("blue") << true;
        QTest::newRow("cut-off icon") << QStringLiteral("truncated.ico") << QStringLiteral("blue")
                                      << QStringLiteral("blue") << true;
        // The size that fits the preview and the tray, not the file's first.
        QTest::newRow("16, 32, 48 px") << u"sizes.ico"_s << u"blue"_s << u"blue"_s << true;
        QTest::newRow("256 px first") << u"large first.ico"_s << u"blue"_s << u"blue"_s << true;
    }
    void browse()
    {
        QFETCH(QString, answer);
        QFETCH(QString, preview);
        QFETCH(QString, tray);
        QFETCH(bool, stores);
        const QString before = path(QStringLiteral("blue.ico"));
        QVERIFY(IconSetting::setting.set(IconSetting(before)));
        auto editor = opened();

        m_dialogs->setNextFileName(path(answer));
        QTest::mouseClick(&editor->Command2(), Qt::LeftButton);
        QCOMPARE(m_dialogs->fileFilters, QStringList {QStringLiteral("Icon Files (*.ico)")});
        QCOMPARE(previewed(*editor), expectedImage(preview));
        QCOMPARE(imageOf(m_tray->shownIcon()), expectedImage(tray));
        QCOMPARE(IconSetting::setting.get().text(), stores ? path(answer) : before);
        QVERIFY(editor->isVisible());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // Return right after opening browses, which changes nothing until a file is chosen.
    void firstFocusBrowses()
    {
        QVERIFY(IconSetting::setting.set(IconSetting(path(QStringLiteral("blue.ico")))));
        auto editor = opened();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        QCOMPARE(QApplication::focusWidget(), &editor->Command2());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_dialogs->fileFilters.size(), 1);
        QCOMPARE(IconSetting::setting.get().text(), path(QStringLiteral("blue.ico")));
        QCOMPARE(previewed(*editor), square(Qt::blue));
    }

    void useInternalAfterAFile()
    {
        QVERIFY(IconSetting::setting.set(IconSetting(path(QStringLiteral("blue.ico")))));
        auto editor = opened();
        m_dialogs->setNextFileName(path(QStringLiteral("Red Icon.ICO")));
        editor->Command2_Click();
        QCOMPARE(imageOf(m_tray->shownIcon()), square(Qt::red));

        QTest::mouseClick(&editor->Command1(), Qt::LeftButton);
        QCOMPARE(ReadSetting(IconSetting::setting.key(), NoKey), QStringLiteral("Internal"));
        QCOMPARE(previewed(*editor), imageOf(builtInIcon()));
        QCOMPARE(imageOf(m_tray->shownIcon()), imageOf(builtInIcon()));
        QVERIFY(editor->isVisible());
    }

    void windowLayout()
    {
        auto editor = opened();
        QCOMPARE(editor->size(), QSize(159, 86));
        QCOMPARE(editor->minimumSize(), editor->maximumSize());
        // Whatever the desktop's font, the note and the captions are not cut off.
        const QFontMetrics note(editor->Label1().font());
        QVERIFY(note.boundingRect(QRect(QPoint(), editor->Label1().size()), Qt::TextWordWrap,
                                  editor->Label1().text())
                    .height()
                <= editor->Label1().height());
        for (const QPushButton *button : {&editor->Command1(), &editor->Command2()})
            QVERIFY(QFontMetrics(button->font()).horizontalAdvance(button->text())
                    <= button->width());

        // The preview's picture sits at its top-left corner, inside the border.
        const QImage shot = editor->grab().toImage();
        const QImage icon = imageOf(builtInIcon());
        const QPoint corner
            = editor->Picture1().geometry().topLeft() + editor->Picture1().contentsRect().topLeft();
        int compared = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (qAlpha(icon.pixel(x, y)) != 255)
                    continue;
                QCOMPARE(QColor(shot.pixel(corner + QPoint(x, y))), QColor(icon.pixel(x, y)));
                ++compared;
            }
        }
        QVERIFY(compared > 0);
        const QImage art(QStringLiteral(":/editicon.png"));
        QCOMPARE(art.size(), QSize(250, 89));
        QCOMPARE(shot.pixelColor(2, 80), art.pixelColor(2, 80));
        QCOMPARE(shot.pixelColor(155, 3), art.pixelColor(155, 3));
    }
};

QTEST_MAIN(TestEditIcon)
#include "tst_editicon.moc"
