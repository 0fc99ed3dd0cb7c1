#include "appinit.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QMutex>
#include <QWidget>

#include <atomic>
#include <memory>

namespace {

QMutex creationMutex;
std::unique_ptr<AppInit> holder; // owns the instance until the program exits
std::atomic<AppInit *> published{nullptr};

// One drag at a time for the whole process.
bool dragPressed = false;
QPoint dragOffset; // cursor position at the press minus the widget position, pixels

} // namespace

AppInit *AppInit::instance()
{
    AppInit *self = published.load(std::memory_order_acquire);
    if (!self) {
        QMutexLocker locker(&creationMutex);
        self = published.load(std::memory_order_relaxed);
        if (!self) {
            holder.reset(new AppInit);
            self = holder.get();
            published.store(self, std::memory_order_release);
        }
    }
    return self;
}

void AppInit::start()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool AppInit::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of the process passes here: the property is looked up for mouse events only.
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseMove;
    if (!mouse || !watched->property("canMove").toBool())
        return QObject::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QObject::eventFilter(watched, event);

    switch (type) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            dragPressed = true;
            dragOffset = mouse->globalPos() - widget->pos();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        dragPressed = false;
        break;
    case QEvent::MouseMove:
        if (dragPressed) {
            widget->move(static_cast<QMouseEvent *>(event)->globalPos() - dragOffset);
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
