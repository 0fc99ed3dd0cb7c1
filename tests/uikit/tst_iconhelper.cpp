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

QString familyChosenFor(int glyph)
{
    QPushButton button;
    IconHelper::applyGlyph(&button, glyph, 20);
    return button.font().family();
}
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
    void selector_data();
    void selector();
    void applyGlyph_data();
    void applyGlyph();
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
    const QStringList before = QFontDatabase().families();
    QVERIFY(!before.contains(IconFont));
    QVERIFY(!before.contains(Weather));

    IconHelper *helper = IconHelper::fontForGlyph(0xF068);
    QVERIFY(helper);
    QCOMPARE(IconHelper::fontForGlyph(0xF068), helper);

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

void IconHelperTest::fontForGlyph_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QString>("family");
    QTest::newRow("below the first range") << 0xE501 << FontAwesome;
    QTest::newRow("first range start") << 0xE502 << IconFont;
    QTest::newRow("first range end") << 0xE792 << IconFont;
    QTest::newRow("after the first range") << 0xE793 << FontAwesome;
    QTest::newRow("before the second range") << 0xE8D5 << FontAwesome;
    QTest::newRow("second range start") << 0xE8D6 << IconFont;
    QTest::newRow("second range end") << 0xEA5C << IconFont;
    QTest::newRow("after the second range") << 0xEA5D << FontAwesome;
    QTest::newRow("iconfont's last glyph") << 0xEAC4 << FontAwesome;
    QTest::newRow("weather code point") << 0xE900 << IconFont;
    QTest::newRow("minimise") << 0xF068 << FontAwesome;
    QTest::newRow("maximise") << 0xF067 << FontAwesome;
    QTest::newRow("close") << 0xF00D << FontAwesome;
}

void IconHelperTest::fontForGlyph()
{
    QFETCH(int, glyph);
    QFETCH(QString, family);
    QCOMPARE(familyChosenFor(glyph), family);
}

void IconHelperTest::selector_data()
{
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QString>("family");
    QTest::newRow("0 forces iconfont") << 0 << 0xF068 << IconFont;
    QTest::newRow("2 forces the weather font") << 2 << 0xE502 << Weather;
    QTest::newRow("1 forces FontAwesome") << 1 << 0xE502 << FontAwesome;
    QTest::newRow("any other positive value forces FontAwesome") << 7 << 0xE8D6 << FontAwesome;
    QTest::newRow("below 0 chooses by code point") << -3 << 0xE8D6 << IconFont;
}

void IconHelperTest::selector()
{
    QFETCH(int, selector);
    QFETCH(int, glyph);
    QFETCH(QString, family);
    IconHelper::setFontSelector(selector);
    QCOMPARE(familyChosenFor(glyph), family);
}

void IconHelperTest::applyGlyph_data()
{
    QTest::addColumn<bool>("onLabel");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QString>("family");
    QTest::newRow("title close button") << false << 0xF00D << 20 << FontAwesome;
    QTest::newRow("button, other size") << false << 0xF067 << 33 << FontAwesome;
    QTest::newRow("iconfont glyph on a button") << false << 0xE600 << 12 << IconFont;
    QTest::newRow("label") << true << 0xF068 << 17 << FontAwesome;
}

void IconHelperTest::applyGlyph()
{
    QFETCH(bool, onLabel);
    QFETCH(int, glyph);
    QFETCH(int, pixelSize);
    QFETCH(QString, family);

    QPushButton button(QStringLiteral("1"));
    QLabel label(QStringLiteral("123"));
    QWidget *widget = onLabel ? static_cast<QWidget *>(&label) : &button;
    if (onLabel)
        IconHelper::applyGlyph(&label, glyph, pixelSize);
    else
        IconHelper::applyGlyph(&button, glyph, pixelSize);

    QCOMPARE(widget->font().family(), family);
    QCOMPARE(widget->font().pixelSize(), pixelSize);
    QCOMPARE(onLabel ? label.text() : button.text(), QString(QChar(glyph)));
}

void IconHelperTest::unloadableFontIsLogged()
{
    QTest::ignoreMessage(QtDebugMsg, "load NoSuchIconFamily error");
    IconHelper helper(QStringLiteral(":/font/missing.ttf"), QStringLiteral("NoSuchIconFamily"));
    QVERIFY(!QFontDatabase().families().contains(QStringLiteral("NoSuchIconFamily")));
}

QTEST_MAIN(IconHelperTest)
#include "tst_iconhelper.moc"
