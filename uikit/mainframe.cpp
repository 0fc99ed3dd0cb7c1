#include "mainframe.h"

#include "iconhelper.h"
#include "uihelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>

namespace {

constexpr int TitleGlyphSize = 20; // pixels
constexpr int GlyphMinus = 0xF068;
constexpr int GlyphPlus = 0xF067;
constexpr int GlyphCross = 0xF00D;

void applyStyleSheet()
{
    QFile file(QStringLiteral(":/qss/psblack.css"));
    if (!file.open(QFile::ReadOnly))
        return;
    const QString sheet = QString::fromLatin1(file.readAll().constData());
    // The sheet starts with "QPalette{background:#RRGGBB;}": the colour sits at offset 20.
    qApp->setPalette(QPalette(QColor(sheet.mid(20, 7))));
    qApp->setStyleSheet(sheet);
}

QString windowSizeRules()
{
    return QStringLiteral("QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,"
                          "QDateTimeEdit::drop-down{width:%1px;}")
               .arg(20) +
           QStringLiteral(
               "QComboBox::down-arrow,QDateEdit[calendarPopup=\"true\"]::down-arrow,"
               "QTimeEdit[calendarPopup=\"true\"]::down-arrow,"
               "QDateTimeEdit[calendarPopup=\"true\"]::down-arrow{width:%1px;height:%1px;"
               "right:2px;}")
               .arg(10) +
           QStringLiteral("QRadioButton::indicator{width:%1px;height:%1px;}").arg(15) +
           QStringLiteral("QCheckBox::indicator,QGroupBox::indicator,QTreeWidget::indicator,"
                          "QListWidget::indicator{width:%1px;height:%1px;}")
               .arg(13) +
           QStringLiteral("QScrollBar:horizontal{min-height:%1px;border-radius:%2px;}"
                          "QScrollBar::handle:horizontal{border-radius:%2px;}"
                          "QScrollBar:vertical{min-width:%1px;border-radius:%2px;}"
                          "QScrollBar::handle:vertical{border-radius:%2px;}")
               .arg(12)
               .arg(6) +
           QStringLiteral("QWidget#widget_top>QToolButton:pressed,QWidget#widget_top>QToolButton:"
                          "hover,QWidget#widget_top>QToolButton:checked,QWidget#widget_top>QLabel:"
                          "hover{border-width:0px 0px %1px 0px;}")
               .arg(3) +
           QStringLiteral("QWidget#widgetleft>QPushButton:checked,QWidget#widgetleft>QToolButton:"
                          "checked,QWidget#widgetleft>QPushButton:pressed,QWidget#widgetleft>"
                          "QToolButton:pressed{border-width:0px 0px 0px %1px;}")
               .arg(3);
}

} // namespace

namespace MainFrame {

void apply(QWidget *window, const TitleBar &titleBar, const QString &title)
{
    UiHelper::makeFrameless(window, false, false, true);
    titleBar.icon->setPixmap(QPixmap(QStringLiteral("://images/logo.ico"))
                                 .scaled(45, 40, Qt::KeepAspectRatio, Qt::FastTransformation));
    IconHelper::applyGlyph(titleBar.minimise, GlyphMinus, TitleGlyphSize);
    IconHelper::applyGlyph(titleBar.maximise, GlyphPlus, TitleGlyphSize);
    IconHelper::applyGlyph(titleBar.close, GlyphCross, TitleGlyphSize);
    titleBar.bar->installEventFilter(window);
    titleBar.bar->setProperty("form", QStringLiteral("title"));

    QFont defaultFont;
    defaultFont.setPointSize(14);
    titleBar.title->setFont(defaultFont);
    titleBar.title->setText(title);
    titleBar.title->setFont(QFont(QStringLiteral("Microsoft Yahei"), 18));
    window->setWindowTitle(titleBar.title->text());

    applyStyleSheet();
    window->setStyleSheet(windowSizeRules());
}

} // namespace MainFrame
