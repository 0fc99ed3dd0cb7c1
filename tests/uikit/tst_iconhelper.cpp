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

// The first request registers every family, each font with the glyphs the program uses.
void IconHelperTest::fontsCarryTheirGlyphs()
{
    QVERIFY(!QFontDatabase().families().contains(IconFont));
    IconHelper::fontForGlyph(0xF068);
    const QVector<QPair<QString, uint>> glyphs = {{IconFont, 0xE502},    {IconFont, 0xEAC4},
                                                  {Weather, 0xE900},     {Weather, 0xE905},
                                                  {FontAwesome, 0xF068}, {FontAwesome, 0xF00D}};
    for (const auto &glyph : glyphs) {
        const QFont font(glyph.first);
        QCOMPARE(QFontInfo(font).family(), glyph.first);
        QVERIFY(QRawFont::fromFont(font).supportsCharacter(glyph.second));
    }
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
    QTest::newRow("second range start") << -1 << 0xE8D6 << IconFont;
    QTest::newRow("second range end") << -1 << 0xEA5C << IconFont;
    QTest::newRow("after the second range") << -1 << 0xEA5D << FontAwesome;
    QTest::newRow("weather code point") << -1 << 0xE900 << IconFont;
    QTest::newRow("0 forces iconfont") << 0 << 0xF068 << IconFont;
    QTest::newRow("2 forces the weather font") << 2 << 0xE502 << Weather;
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
