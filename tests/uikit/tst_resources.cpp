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
#include <vector>

namespace {

const char StyleSheetPath[] = ":/qss/psblack.css";
const int PaletteColourOffset = 20; // characters, just after "QPalette{background:"
const int PaletteColourLength = 7;  // characters, "#RRGGBB"

QByteArray readResource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    void initTestCase();
    void styleSheetBeginsWithPalette();
    void styleSheetEndsWithColourRoles();
    void styleSheetImagesExist();
    void styleSheetAppliesWithoutWarnings();
    void styleSheetColours_data();
    void styleSheetColours();
    void images_data();
    void images();

private:
    QString m_sheet;
};

void ResourcesTest::initTestCase()
{
    initAppResources();
    // The window frame set-up reads the sheet as Latin-1; only the closing comments garble.
    m_sheet = QString::fromLatin1(readResource(QString::fromLatin1(StyleSheetPath)));
    QVERIFY(!m_sheet.isEmpty());
}

void ResourcesTest::styleSheetBeginsWithPalette()
{
    const QByteArray bytes = readResource(QString::fromLatin1(StyleSheetPath));
    QVERIFY(bytes.startsWith("QPalette{background:#44494F;}*{outline:0px;color:#FFFFFF;}"));

    const QColor colour(m_sheet.mid(PaletteColourOffset, PaletteColourLength));
    QVERIFY(colour.isValid());
    QCOMPARE(colour, QColor(0x44, 0x49, 0x4F));
}

void ResourcesTest::styleSheetEndsWithColourRoles()
{
    const QString utf8 = QString::fromUtf8(readResource(QString::fromLatin1(StyleSheetPath)));
    const QString roles = QStringLiteral("/*TextColor:#FFFFFF 字体颜色*/\n"
                                         "/*PanelColor:#44494F  背景*/\n"
                                         "/*BorderColor:#242424  边框颜色*/\n"
                                         "/*NormalColorStart:#40444D  按键、边框颜色*/\n"
                                         "/*NormalColorEnd:#343841*/\n"
                                         "/*DarkColorStart:#478CB6   按下去颜色*/\n"
                                         "/*DarkColorEnd:#3484b6*/\n"
                                         "/*HighColor:#0B3373   底框的颜色*/\n");
    QVERIFY(utf8.endsWith(roles));
}

void ResourcesTest::styleSheetImagesExist()
{
    const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    int count = 0;
    for (auto it = url.globalMatch(m_sheet); it.hasNext(); ++count) {
        const QString path = it.next().captured(1);
        QVERIFY2(QFile::exists(path), qPrintable(path));
    }
    QVERIFY(count > 0);
}

void ResourcesTest::styleSheetAppliesWithoutWarnings()
{
    std::vector<std::unique_ptr<QWidget>> widgets;
    widgets.emplace_back(new QLineEdit);
    widgets.emplace_back(new QComboBox);
    widgets.emplace_back(new QPushButton(QStringLiteral("Query")));
    widgets.emplace_back(new QCheckBox(QStringLiteral("check")));
    widgets.emplace_back(new QRadioButton(QStringLiteral("radio")));
    widgets.emplace_back(new QSpinBox);
    widgets.emplace_back(new QScrollBar(Qt::Vertical));
    widgets.emplace_back(new QTreeWidget);
    widgets.emplace_back(new QTabWidget);
    widgets.emplace_back(new QProgressBar);
    widgets.emplace_back(new QGroupBox(QStringLiteral("group")));
    widgets.emplace_back(new QCalendarWidget);

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    qApp->setStyleSheet(m_sheet);
    for (const auto &widget : widgets)
        widget->grab();
    qApp->setStyleSheet(QString());
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void ResourcesTest::styleSheetColours_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("line edit background") << "lineedit" << QPoint(50, 10) << QColor("#44494F");
    QTest::newRow("line edit border") << "lineedit" << QPoint(50, 0) << QColor("#242424");
    QTest::newRow("frameless form border") << "form" << QPoint(0, 50) << QColor("#242424");
    QTest::newRow("title bar gradient top") << "title" << QPoint(50, 0) << QColor("#40444D");
    QTest::newRow("title bar gradient bottom") << "title" << QPoint(50, 99) << QColor("#343841");
}

void ResourcesTest::styleSheetColours()
{
    QFETCH(QString, kind);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);

    QWidget form;
    form.resize(200, 100);
    std::unique_ptr<QWidget> widget;
    if (kind == QLatin1String("lineedit")) {
        widget.reset(new QLineEdit);
    } else {
        widget.reset(new QWidget);
        widget->setProperty("form", kind == QLatin1String("form")
                                        ? QVariant(true)
                                        : QVariant(QStringLiteral("title")));
    }
    widget->resize(200, 100);
    widget->setStyleSheet(m_sheet);

    const QImage image = widget->grab().toImage();
    QCOMPARE(image.pixelColor(at), expected);
}

void ResourcesTest::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    const char *indicators[] = {"add_top",
                                "add_bottom",
                                "add_left",
                                "add_right",
                                "branch_open",
                                "branch_close",
                                "calendar_prevmonth",
                                "calendar_nextmonth",
                                "checkbox_checked",
                                "checkbox_checked_disable",
                                "checkbox_unchecked",
                                "checkbox_unchecked_disable",
                                "checkbox_parcial",
                                "checkbox_parcial_disable",
                                "radiobutton_checked",
                                "radiobutton_checked_disable",
                                "radiobutton_unchecked",
                                "radiobutton_unchecked_disable"};
    for (const char *name : indicators)
        QTest::newRow(name) << QStringLiteral(":/qss/psblack/%1.png").arg(QLatin1String(name))
                            << QSize(40, 40);
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
    QVERIFY(qAlpha(image.pixel(0, 0)) == 0); // drawn on a transparent ground
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
