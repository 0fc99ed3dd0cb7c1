#include "appresources.h"
#include "iconhelper.h"

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
    void initTestCase() { initAppResources(); }
    void cleanup() { IconHelper::setFontSelector(-1); }
    void fontForGlyph_data();
    void fontForGlyph();
};

// Below 0 the selector leaves the choice to the code point; 0, 2 and others force a font.
// The first request registers every family; "drawn" rows check the font has the glyph.
void IconHelperTest::fontForGlyph_data()
{
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("below the first range") << -1 << 0xE501 << FontAwesome << false;
    QTest::newRow("first range start, drawn") << -1 << 0xE502 << IconFont << true;
    QTest::newRow("first range end") << -1 << 0xE792 << IconFont << false;
    QTest::newRow("second range end") << -1 << 0xEA5C << IconFont << false;
    QTest::newRow("after the second range, drawn") << -1 << 0xF068 << FontAwesome << true;
    QTest::newRow("0 forces iconfont") << 0 << 0xF068 << IconFont << false;
    QTest::newRow("2 forces the weather font, drawn") << 2 << 0xE905 << Weather << true;
    QTest::newRow("other positive values force FontAwesome") << 7 << 0xE8D6 << FontAwesome << false;
}

// The glyph goes on buttons and labels alike, in the chosen font at the given pixel size.
void IconHelperTest::fontForGlyph()
{
    QFETCH(int, selector);
    QFETCH(int, glyph);
    QFETCH(QString, family);
    QFETCH(bool, drawn);
    IconHelper::setFontSelector(selector);
    QPushButton button(QStringLiteral("1"));
    QLabel label(QStringLiteral("123"));
    IconHelper::applyGlyph(&button, glyph, 33);
    IconHelper::applyGlyph(&label, glyph, 17);
    const auto shown = [](const QWidget &w, const QString &text) {
        return QStringList{w.font().family(), text, QString::number(w.font().pixelSize())};
    };
    QCOMPARE(shown(button, button.text()), QStringList({family, QChar(glyph), "33"}));
    QCOMPARE(shown(label, label.text()), QStringList({family, QChar(glyph), "17"}));
    if (drawn) {
        QCOMPARE(QFontInfo(button.font()).family(), family);
        QVERIFY(QRawFont::fromFont(button.font()).supportsCharacter(uint(glyph)));
    }
}

QTEST_MAIN(IconHelperTest)
#include "tst_iconhelper.moc"
