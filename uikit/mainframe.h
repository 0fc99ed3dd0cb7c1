#pragma once

class QAbstractButton;
class QLabel;
class QString;
class QWidget;

// The widgets of a main window's own title bar.
struct TitleBar
{
    QWidget *bar;
    QLabel *icon;
    QLabel *title;
    QAbstractButton *minimise;
    QAbstractButton *maximise;
    QAbstractButton *close;
};

// The frame of a main window that draws its own title bar: frameless and draggable, the logo,
// the title and the glyphs of the title bar, the application palette and style sheet, and the
// window's own size rules. The window becomes the event filter of the title bar.
namespace MainFrame {

void apply(QWidget *window, const TitleBar &titleBar, const QString &title);

} // namespace MainFrame
