#include "iconhelper.h"

#include "uikitlog.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QLabel>

namespace {

// Private-use code points drawn by iconfont; everything else automatic goes to FontAwesome.
constexpr int IconFontFirstStart = 0xE502;
constexpr int IconFontFirstEnd = 0xE792;
constexpr int IconFontSecondStart = 0xE8D6;
constexpr int IconFontSecondEnd = 0xEA5C;

enum Selector { Automatic = -1, IconFont = 0, Weather = 2 };

bool registryReady = false;
IconHelper *iconFontHelper = nullptr;
IconHelper *fontAwesomeHelper = nullptr;
IconHelper *weatherHelper = nullptr;
int fontSelector = Automatic;

void initRegistry()
{
    if (registryReady)
        return;
    registryReady = true;
    // Never deleted: the fonts stay registered for the life of the process.
    if (!iconFontHelper)
        iconFontHelper =
            new IconHelper(QStringLiteral(":/font/iconfont.ttf"), QStringLiteral("iconfont"));
    if (!fontAwesomeHelper)
        fontAwesomeHelper = new IconHelper(QStringLiteral(":/font/fontawesome-webfont.ttf"),
                                           QStringLiteral("FontAwesome"));
    if (!weatherHelper)
        weatherHelper = new IconHelper(QStringLiteral(":/font/pe-icon-set-weather.ttf"),
                                       QStringLiteral("pe-icon-set-weather"));
}

bool drawnByIconFont(int glyph)
{
    return (glyph >= IconFontFirstStart && glyph <= IconFontFirstEnd) ||
           (glyph >= IconFontSecondStart && glyph <= IconFontSecondEnd);
}

} // namespace

IconHelper::IconHelper(const QString &fontFile, const QString &fontName, QObject *parent)
    : QObject(parent)
{
    QFontDatabase database;
    if (!database.families().contains(fontName)) {
        const int id = QFontDatabase::addApplicationFont(fontFile);
        if (QFontDatabase::applicationFontFamilies(id).isEmpty())
            qCDebug(lcUikit).noquote() << QStringLiteral("load %1 error").arg(fontName);
    }
    if (database.families().contains(fontName)) {
        m_iconFont = QFont(fontName);
        m_iconFont.setHintingPreference(QFont::PreferNoHinting);
    }
}

IconHelper *IconHelper::fontForGlyph(int glyph)
{
    initRegistry();
    if (fontSelector == IconFont)
        return iconFontHelper;
    if (fontSelector == Weather)
        return weatherHelper;
    if (fontSelector >= 0)
        return fontAwesomeHelper;
    return drawnByIconFont(glyph) ? iconFontHelper : fontAwesomeHelper;
}

void IconHelper::setFontSelector(int selector)
{
    fontSelector = selector;
}

void IconHelper::applyGlyph(QAbstractButton *button, int glyph, int pixelSize)
{
    button->setFont(fontForGlyph(glyph)->iconFont(pixelSize));
    button->setText(QChar(glyph));
}

void IconHelper::applyGlyph(QLabel *label, int glyph, int pixelSize)
{
    label->setFont(fontForGlyph(glyph)->iconFont(pixelSize));
    label->setText(QChar(glyph));
}

const QFont &IconHelper::iconFont(int pixelSize)
{
    // The shared font keeps this size until the next request.
    m_iconFont.setPixelSize(pixelSize);
    return m_iconFont;
}
