#pragma once

#include <QFont>
#include <QObject>

class QAbstractButton;
class QLabel;

// Puts glyphs of the compiled-in icon fonts on buttons and labels. Three process-wide instances,
// one per font (iconfont, FontAwesome, pe-icon-set-weather), are created on the first request.
class IconHelper : public QObject
{
    Q_OBJECT

public:
    // Registers fontFile with the font database unless a family of that name is already known.
    IconHelper(const QString &fontFile, const QString &fontName, QObject *parent = nullptr);

    // The instance whose font draws the glyph: by code point while the selector is below 0
    // (iconfont for U+E502..U+E792 and U+E8D6..U+EA5C, FontAwesome otherwise); the selector 0
    // forces iconfont, 2 the weather font and any other value of 0 or above FontAwesome.
    static IconHelper *fontForGlyph(int glyph);
    static void setFontSelector(int selector);

    // Sets the chosen instance's font to pixelSize and shows the glyph as the widget's text.
    static void applyGlyph(QAbstractButton *button, int glyph, int pixelSize);
    static void applyGlyph(QLabel *label, int glyph, int pixelSize);

private:
    const QFont &iconFont(int pixelSize);

    QFont m_iconFont;
};
