#pragma once

#include <QRect>
#include <QString>

class QWidget;

// Static helpers of the application shell: frameless window set-up, the geometry of the screen
// under the mouse cursor, and modal boxes whose titles and buttons are fixed Chinese texts that
// are never translated.
class UiHelper
{
public:
    // Replaces the window flags with a frameless window plus the requested options and opts the
    // form into the dark frame (property form) and into dragging (property canMove).
    static void makeFrameless(QWidget *form, bool toolWindow, bool stayOnTop, bool systemMenu);

    // Index in QGuiApplication::screens() of the screen under the cursor; 0 if none or only one.
    static int screenIndexAtCursor();
    // Available (without task bars) or full geometry of the screen under the cursor.
    static QRect screenRect(bool available);
    // Moves the form into the middle of the available area of the screen under the cursor.
    static void centerOnScreen(QWidget *form);

    // Information box titled "提示" with the one button "确 定".
    static void showInfoBox(const QString &text);
    // Error box titled "错误" with the one button "确 定".
    static void showErrorBox(const QString &text);
    // Question box titled "询问" with "确 定" and "取 消"; returns QMessageBox::Yes or No.
    static int askQuestion(const QString &text);
};
