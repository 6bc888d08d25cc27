#include "logic/centerposition.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestCenterPosition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("3577.5 to even above") << 3577.5 << 3578;
        QTest::newRow("3682.5 to even below") << 3682.5 << 3682;
        QTest::newRow("0.5 to zero") << 0.5 << 0;
        QTest::newRow("-0.5 to zero") << -0.5 << 0;
        QTest::newRow("-1.5 to -2") << -1.5 << -2;
        QTest::newRow("-2.5 to -2") << -2.5 << -2;
        QTest::newRow("below a half") << 2.49 << 2;
        QTest::newRow("above a half") << 2.51 << 3;
        QTest::newRow("negative above a half") << -2.51 << -3;
        QTest::newRow("last half inside") << 32766.5 << 32766;
        QTest::newRow("half past the top clamps") << 32767.5 << 32767;
        QTest::newRow("far past the top clamps") << 1e12 << 32767;
        QTest::newRow("half past the bottom clamps") << -32768.5 << -32768;
        QTest::newRow("far past the bottom clamps") << -1e12 << -32768;
        QTest::newRow("infinity clamps") << std::numeric_limits<double>::infinity() << 32767;
        QTest::newRow("minus infinity clamps")
            << -std::numeric_limits<double>::infinity() << -32768;
        QTest::newRow("not a number") << std::nan("") << 0;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(int(Corvath::toInt16(value)), expected);
    }

    // Sizes in twips, 15 to the pixel.
    void position_data()
    {
        QTest::addColumn<double>("screenWidth");
        QTest::addColumn<double>("screenHeight");
        QTest::addColumn<double>("windowWidth");
        QTest::addColumn<double>("windowHeight");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("1024 x 768") << 15360.0 << 11520.0 << 8205.0 << 4155.0 << 3578 << 3682;
        QTest::newRow("1280 x 960, halves to even")
            << 19200.0 << 14400.0 << 8205.0 << 4155.0 << 5498 << 5122;
        QTest::newRow("window larger than the screen")
            << 15360.0 << 11520.0 << 20000.0 << 12000.0 << -2320 << -240;
        QTest::newRow("same size") << 15360.0 << 11520.0 << 15360.0 << 11520.0 << 0 << 0;
        QTest::newRow("half the difference past 16 bits")
            << 70000.0 << 500.0 << 0.0 << 70000.0 << 32767 << -32768;
    }
    void position()
    {
        QFETCH(double, screenWidth);
        QFETCH(double, screenHeight);
        QFETCH(double, windowWidth);
        QFETCH(double, windowHeight);
        QFETCH(int, left);
        QFETCH(int, top);
        const Corvath::CenterPosition at
            = Corvath::centerPosition(screenWidth, screenHeight, windowWidth, windowHeight);
        QCOMPARE(int(at.left), left);
        QCOMPARE(int(at.top), top);
    }
};

QTEST_GUILESS_MAIN(TestCenterPosition)
#include "tst_centerposition.moc"
