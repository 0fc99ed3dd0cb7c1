#include "appresources.h"
#include "iconhelper.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QtTest>

namespace {
const QString IconFont = QStringLiteral("iconfont");
const QString FontAwesome = QStringLiteral("FontAwesome");
const QString Weather = QStringLiteral("pe-icon-set-weather");
} // namespace

class IconHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void firstRequestRegistersAllFamilies();
    void fontsCarryTheirGlyphs_data();
    void fontsCarryTheirGlyphs();
    void fontForGlyph_data();
    void fontForGlyph();
    void unloadableFontIsLogged();
};

void IconHelperTest::initTestCase()
{
    initAppResources();
}

void IconHelperTest::cleanup()
{
    IconHelper::setFontSelector(-1);
}

void IconHelperTest::firstRequestRegistersAllFamilies()
{
    QVERIFY(!QFontDatabase().families().contains(IconFont));
    QVERIFY(IconHelper::fontForGlyph(0xF068));
    const QStringList after = QFontDatabase().families();
    QVERIFY(after.contains(IconFont));
    QVERIFY(after.contains(FontAwesome));
    QVERIFY(after.contains(Weather));
}

void IconHelperTest::fontsCarryTheirGlyphs_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("glyph");
    for (int glyph : {0xE501, 0xE502, 0xE792, 0xE793, 0xE8D5, 0xE8D6, 0xEA5C, 0xEA5D, 0xEAC4})
        QTest::addRow("iconfont U+%X", glyph) << IconFont << glyph;
    for (int glyph : {0xE900, 0xE905})
        QTest::addRow("weather U+%X", glyph) << Weather << glyph;
    for (int glyph : {0xF068, 0xF067, 0xF00D})
        QTest::addRow("FontAwesome U+%X", glyph) << FontAwesome << glyph;
}

void IconHelperTest::fontsCarryTheirGlyphs()
{
    QFETCH(QString, family);
    QFETCH(int, glyph);
    IconHelper::fontForGlyph(glyph);

    const QFont font(family);
    QCOMPARE(QFontInfo(font).family(), family);
    QVERIFY(QRawFont::fromFont(font).supportsCharacter(uint(glyph)));
}

// Below 0 the selector leaves the choice to the code point; 0, 2 and others force a font.
void IconHelperTest::fontForGlyph_data()
{
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QString>("family");
    QTest::newRow("below the first range") << -1 << 0xE501 << FontAwesome;
    QTest::newRow("first range start") << -1 << 0xE502 << IconFont;
    QTest::newRow("first range end") << -1 << 0xE792 << IconFont;
    QTest::newRow("after the first range") << -1 << 0xE793 << FontAwesome;
    QTest::newRow("before the second range") << -1 << 0xE8D5 << FontAwesome;
    QTest::newRow("second range start") << -1 << 0xE8D6 << IconFont;
    QTest::newRow("second range end") << -1 << 0xEA5C << IconFont;
    QTest::newRow("after the second range") << -1 << 0xEA5D << FontAwesome;
    QTest::newRow("iconfont's last glyph") << -1 << 0xEAC4 << FontAwesome;
    QTest::newRow("weather code point") << -1 << 0xE900 << IconFont;
    QTest::newRow("0 forces iconfont") << 0 << 0xF068 << IconFont;
    QTest::newRow("2 forces the weather font") << 2 << 0xE502 << Weather;
    QTest::newRow("1 forces FontAwesome") << 1 << 0xE502 << FontAwesome;
    QTest::newRow("any other positive value forces FontAwesome") << 7 << 0xE8D6 << FontAwesome;
    QTest::newRow("any negative value chooses by code point") << -3 << 0xE8D6 << IconFont;
}

// The glyph goes on buttons and labels alike, in the chosen font at the given pixel size.
void IconHelperTest::fontForGlyph()
{
    QFETCH(int, selector);
    QFETCH(int, glyph);
    QFETCH(QString, family);
    IconHelper::setFontSelector(selector);
    QPushButton button(QStringLiteral("1"));
    QLabel label(QStringLiteral("123"));
    IconHelper::applyGlyph(&button, glyph, 33);
    IconHelper::applyGlyph(&label, glyph, 17);
    QCOMPARE(button.font().family(), family);
    QCOMPARE(label.font().family(), family);
    QCOMPARE(button.font().pixelSize(), 33);
    QCOMPARE(label.font().pixelSize(), 17);
    QCOMPARE(button.text(), QString(QChar(glyph)));
    QCOMPARE(label.text(), QString(QChar(glyph)));
}

void IconHelperTest::unloadableFontIsLogged()
{
    QTest::ignoreMessage(QtDebugMsg, "load NoSuchIconFamily error");
    IconHelper helper(QStringLiteral(":/font/missing.ttf"), QStringLiteral("NoSuchIconFamily"));
    QVERIFY(!QFontDatabase().families().contains(QStringLiteral("NoSuchIconFamily")));
}

QTEST_MAIN(IconHelperTest)
#include "tst_iconhelper.moc"
