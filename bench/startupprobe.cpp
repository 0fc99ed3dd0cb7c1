// Start-up probe: shows a main window, prints "shown <monotonic ns>" when it first paints and
// quits. Built twice: with DR58_PROBE_TOOL the tool's own start-up and main window, exactly as
// the tool's entry function makes them; without it, a bare QMainWindow for comparison.
#include "measure.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#ifdef DR58_PROBE_TOOL
#include "at.h"
#include "startup.h"
#endif

namespace {

class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("shown %lld\n", Measure::nowNs());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint probe;
#ifdef DR58_PROBE_TOOL
    QTranslator translator;
    prepareApplication(app, translator);
    AT window;
    window.installEventFilter(&probe);
    showCentred(window);
#else
    QMainWindow window;
    window.installEventFilter(&probe);
    window.show();
#endif
    return app.exec();
}
