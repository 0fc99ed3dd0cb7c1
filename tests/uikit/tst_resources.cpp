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

#include <memory>

namespace {

const int PaletteColourOffset = 20; // characters, just after "QPalette{background:"
const int PaletteColourLength = 7;  // characters, "#RRGGBB"

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
    void styleSheetBeginsWithPalette();
    void styleSheetAppliesWithoutWarnings();
    void styleSheetColours_data();
    void styleSheetColours();
    void images_data();
    void images();

private:
    QByteArray m_bytes;
    QString m_sheet;
};

void ResourcesTest::initTestCase()
{
    initAppResources();
    QFile file(QStringLiteral(":/qss/psblack.css"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    // The window frame set-up reads the sheet as Latin-1; only the closing comments garble.
    m_sheet = QString::fromLatin1(m_bytes);
}

void ResourcesTest::styleSheetBeginsWithPalette()
{
    QVERIFY(m_bytes.startsWith("QPalette{background:#44494F;}*{outline:0px;color:#FFFFFF;}"));
    const QColor colour(m_sheet.mid(PaletteColourOffset, PaletteColourLength));
    QVERIFY(colour.isValid());
    QCOMPARE(colour, QColor(0x44, 0x49, 0x4F));
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

void ResourcesTest::styleSheetColours_data()
{
    QTest::addColumn<QVariant>("form"); // invalid: a line edit
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");
    const QVariant lineEdit, form(true), title(QStringLiteral("title"));
    QTest::newRow("line edit background") << lineEdit << QPoint(50, 10) << QColor("#44494F");
    QTest::newRow("line edit border") << lineEdit << QPoint(50, 0) << QColor("#242424");
    QTest::newRow("frameless form border") << form << QPoint(0, 50) << QColor("#242424");
    QTest::newRow("title bar gradient top") << title << QPoint(50, 0) << QColor("#40444D");
    QTest::newRow("title bar gradient bottom") << title << QPoint(50, 99) << QColor("#343841");
}

void ResourcesTest::styleSheetColours()
{
    QFETCH(QVariant, form);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    std::unique_ptr<QWidget> widget(form.isValid() ? new QWidget : new QLineEdit);
    widget->setProperty("form", form);
    widget->resize(200, 100);
    widget->setStyleSheet(m_sheet);
    QCOMPARE(widget->grab().toImage().pixelColor(at), expected);
}

// The sheet's indicators and the program's own pictures: drawn, of their size, on a
// transparent ground.
void ResourcesTest::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    const QStringList indicators = sheetImages(m_sheet);
    QCOMPARE(indicators.size(), 18);
    for (const QString &path : indicators)
        QTest::newRow(qPrintable(path)) << path << QSize(40, 40);
    // The program names these two with a doubled slash.
    QTest::newRow("logo") << QStringLiteral("://images/logo.ico") << QSize(128, 128);
    QTest::newRow("pencil") << QStringLiteral("://images/xiezi.png") << QSize(200, 200);
}

void ResourcesTest::images()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255;
    }
    QVERIFY2(opaque > image.width(), "the picture is (nearly) empty");
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
