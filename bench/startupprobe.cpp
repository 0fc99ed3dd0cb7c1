// Start-up probe, built twice. With DR58_PROBE_TOOL: the tool's own start-up and main window,
// exactly as the tool's entry function makes them, quitting at the window's first paint, so
// that a profiler sees one whole start and nothing after it. Without: a bare QMainWindow, shown
// until it is ended, the floor the start-up benchmark holds the tool against.
#include <QApplication>
#include <QMainWindow>

#ifdef DR58_PROBE_TOOL
#include "at.h"
#include "startup.h"

#include <QEvent>
#include <QTimer>
#include <QTranslator>

namespace {

class QuitAtFirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
#ifdef DR58_PROBE_TOOL
    QuitAtFirstPaint probe;
    QTranslator translator;
    prepareApplication(app, translator);
    AT window;
    window.installEventFilter(&probe);
    showCentred(window);
#else
    QMainWindow window;
    window.show();
#endif
    return app.exec();
}
