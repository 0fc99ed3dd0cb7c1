#include "uihelper.h"

#include <QAbstractButton>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace {

void addWindowFlags(QWidget *form, Qt::WindowFlags flags)
{
    form->setWindowFlags(form->windowFlags() | flags);
}

int runBox(QMessageBox::Icon icon, const QString &title, const QString &text,
           QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text);
    box.setStandardButtons(buttons);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("确 定"));
    if (buttons.testFlag(QMessageBox::No))
        box.button(QMessageBox::No)->setText(QStringLiteral("取 消"));
    return box.exec();
}

} // namespace

void UiHelper::makeFrameless(QWidget *form, bool toolWindow, bool stayOnTop, bool systemMenu)
{
    form->setProperty("form", true);
    form->setProperty("canMove", true);
    form->setWindowFlags(Qt::FramelessWindowHint);
    if (toolWindow)
        addWindowFlags(form, Qt::Tool);
    if (stayOnTop)
        addWindowFlags(form, Qt::WindowStaysOnTopHint);
    if (systemMenu)
        addWindowFlags(form, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                 Qt::WindowMaximizeButtonHint);
}

int UiHelper::screenIndexAtCursor()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        return 0;
    const QPoint cursor = QCursor::pos();
    for (int i = 0; i < screens.size(); ++i) {
        if (screens.at(i)->geometry().contains(cursor))
            return i;
    }
    return 0;
}

QRect UiHelper::screenRect(bool available)
{
    const QScreen *screen = QGuiApplication::screens().at(screenIndexAtCursor());
    return available ? screen->availableGeometry() : screen->geometry();
}

void UiHelper::centerOnScreen(QWidget *form)
{
    const QRect area = screenRect(true);
    form->move(area.left() + area.width() / 2 - form->width() / 2,
               area.top() + area.height() / 2 - form->height() / 2);
}

void UiHelper::showInfoBox(const QString &text)
{
    runBox(QMessageBox::Information, QStringLiteral("提示"), text, QMessageBox::Yes);
}

void UiHelper::showErrorBox(const QString &text)
{
    runBox(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Yes);
}

int UiHelper::askQuestion(const QString &text)
{
    return runBox(QMessageBox::Question, QStringLiteral("询问"), text,
                  QMessageBox::Yes | QMessageBox::No);
}
