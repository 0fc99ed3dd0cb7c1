#include "appresources.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

namespace {

QStringList warnings;

// Every picture the sheet names, once.
QStringList sheetImages(const QString &sheet)
{
    QStringList paths;
    auto it = QRegularExpression(QStringLiteral("url\\(([^)]+)\\)")).globalMatch(sheet);
    while (it.hasNext())
        paths << it.next().captured(1);
    paths.removeDuplicates();
    return paths;
}

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
    void initTestCase();
    void styleSheetAppliesWithoutWarnings();
    void images_data();
    void images();

private:
    QString m_sheet;
};

void ResourcesTest::initTestCase()
{
    initAppResources();
    QFile file(QStringLiteral(":/qss/psblack.css"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The window frame set-up reads the sheet as Latin-1; only the closing comments garble.
    m_sheet = QString::fromLatin1(file.readAll());
}

void ResourcesTest::styleSheetAppliesWithoutWarnings()
{
    QWidget host;
    const QList<QWidget *> widgets = {
        new QLineEdit(&host),    new QComboBox(&host),    new QPushButton(&host),
        new QCheckBox(&host),    new QRadioButton(&host), new QSpinBox(&host),
        new QScrollBar(&host),   new QTreeWidget(&host),  new QTabWidget(&host),
        new QProgressBar(&host), new QGroupBox(&host),    new QCalendarWidget(&host)};
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    qApp->setStyleSheet(m_sheet);
    for (QWidget *widget : widgets)
        widget->grab();
    qApp->setStyleSheet(QString());
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

// The sheet's indicators and the program's own pictures: drawn on a transparent ground.
void ResourcesTest::images_data()
{
    QTest::addColumn<QString>("path");
    const QStringList indicators = sheetImages(m_sheet);
    QCOMPARE(indicators.size(), 18);
    for (const QString &path : indicators)
        QTest::newRow(qPrintable(path)) << path;
    // The program names these two with a doubled slash.
    QTest::newRow("logo") << QStringLiteral("://images/logo.ico");
    QTest::newRow("pencil") << QStringLiteral("://images/xiezi.png");
}

void ResourcesTest::images()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
