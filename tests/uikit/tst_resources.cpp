#include "appresources.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings << message;
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetAndItsImages();
};

// The dark sheet styles every kind of widget without a warning, and each picture it names, like
// the program's own logo and pencil, loads with a transparent ground.
void ResourcesTest::styleSheetAndItsImages()
{
    initAppResources();
    QFile file(QStringLiteral(":/qss/psblack.css"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString sheet = QString::fromLatin1(file.readAll()); // as the window frame reads it
    QWidget host;
    const QList<QWidget *> widgets = {
        new QLineEdit(&host),    new QComboBox(&host),    new QPushButton(&host),
        new QCheckBox(&host),    new QRadioButton(&host), new QSpinBox(&host),
        new QScrollBar(&host),   new QTreeWidget(&host),  new QTabWidget(&host),
        new QProgressBar(&host), new QGroupBox(&host),    new QCalendarWidget(&host)};
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    qApp->setStyleSheet(sheet);
    for (QWidget *widget : widgets)
        widget->grab();
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));

    QStringList paths{"://images/logo.ico", "://images/xiezi.png"}; // named with a doubled slash
    auto it = QRegularExpression(QStringLiteral("url\\(([^)]+)\\)")).globalMatch(sheet);
    while (it.hasNext())
        paths << it.next().captured(1);
    QVERIFY(paths.size() > 10);
    for (const QString &path : qAsConst(paths)) {
        const QImage image(path);
        QVERIFY2(image.hasAlphaChannel() && qAlpha(image.pixel(0, 0)) == 0, qPrintable(path));
    }
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
