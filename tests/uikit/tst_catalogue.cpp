#include "appresources.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Entry
{
    QString context;
    QString source;
    QString translation; // empty when the entry carries none
};

// Every message of the translation source file, in file order.
QVector<Entry> readCatalogueSource(const QString &path)
{
    QVector<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entries.append({context, QString(), QString()});
        } else if (xml.name() == QLatin1String("source")) {
            entries.last().source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const bool unfinished =
                xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            const QString text = xml.readElementText();
            entries.last().translation = unfinished ? QString() : text;
        }
    }
    return entries;
}

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void language();
    void translates_data();
    void translates();
    void untranslatedShowsSource_data();
    void untranslatedShowsSource();
    void sourceFileCounts_data();
    void sourceFileCounts();
    void everySourceEntryIsCompiled();

private:
    QTranslator m_translator;
    QVector<Entry> m_entries;
};

void CatalogueTest::initTestCase()
{
    initAppResources();
    QVERIFY(m_translator.load(QStringLiteral(":/tran/en_tr.qm")));
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
    m_entries = readCatalogueSource(QStringLiteral(EN_TR_TS));
    QVERIFY(!m_entries.isEmpty());
}

void CatalogueTest::language()
{
    QCOMPARE(m_translator.language(), QStringLiteral("en_AS"));
}

void CatalogueTest::translates_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("english");

    const auto row = [](const char *name, const char *context, const char *source,
                        const char *english) {
        QTest::newRow(name) << QString::fromUtf8(context) << QString::fromUtf8(source)
                            << QString::fromUtf8(english);
    };
    row("title, two blanks", "AT", "DR58 AT配置平台", "DR58 AT  Platform");
    row("port label", "AT", "串口：", "Serial Port:");
    row("port open", "AT", "打开", "Open");
    row("port close", "AT", "关闭", "Close");
    row("port not open", "AT", "串口未打开", "The serial port is not open");
    row("upgrade button of the main window", "AT", "升级", "System Update");
    row("factory reset button", "AT", "恢复出厂设置", "Factory Reset");
    row("label with trailing blank", "AT", "GPIO功能扩展", "Repeater Index Use GPIO ");
    row("label with parentheses", "AT", "网络ID", "Network Address(ID)");
    row("choice item", "AT", "有中心MESH", "Mesh");
    row("RS485 item", "AT", "RS485全双工", "RS485 full duplex");
    row("info label", "AT", "生产序号", "Serial Number");
    row("tooltip piece with blank", "AT", "输入范围 1~254", "Input range 1~254");
    row("tooltip piece without blank", "AT", "输入范围1~254", "Input range 1~254");
    row("tooltip piece with semicolon", "AT", "从端设置的本机地址应在这些地址内，否则无法接入网络",
        "The local address set on the slave should be within these addresses;otherwise, the "
        "network cannot be accessed.");
    row("tooltip with line feeds", "AT",
        "使用多个中继时，必须保证从主端到从端，中继序号排列为单调递增，可以不连续",
        "This register indicates the relative position of the repeater on the network, \n"
        "Maximum number of packet retransmissions When multiple relays are used,\n"
        "it must be guaranteed that from the master to the slave, \n"
        "the relay sequence number arrangement is monotonically increasing and can be "
        "discontinuous");
    row("preset dialog title", "init", "设备恢复出厂设置", "Restore Factory Defaults");
    row("preset label, two blanks", "init", "恢复出厂设置", "Restore  Defaults");
    row("first preset", "init", "点对多点主站", "PMP Master");
    row("last preset", "init", "有中心MESH从模式", "Mesh With Center Slave");
    row("upgrade button", "upgrade", "升级", "Update");
    row("file caption", "upgrade", "选择升级文件！", "Select Update Files!");
    row("cancel", "upgrade", "取消", "Cancel");
    row("failure, fullwidth comma", "upgrade", "升级失败，请检查！！",
        "Update Failed，Please Check Update File!!");
    row("success, fullwidth exclamation marks", "upgrade", "升级成功，请重启设置！！",
        "Update Successfully,Reboot Device！！");
    row("loading prompt", "upgrade", "固件加载中...", "Firmware loading...");
}

void CatalogueTest::translates()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, english);
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()),
             english);
}

void CatalogueTest::untranslatedShowsSource_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::newRow("baud rate") << "AT"
                               << "115200";
    QTest::newRow("window title") << "AT"
                                  << "AT";
    QTest::newRow("interface choice") << "AT"
                                      << "RS232/RS485";
    QTest::newRow("access mode") << "AT"
                                 << "TDMA_AUTO";
    QTest::newRow("preset dialog caption") << "init"
                                           << "Dialog";
    QTest::newRow("upgrade dialog caption") << "upgrade"
                                            << "Dialog";
    QTest::newRow("file error box, no entry")
        << "upgrade" << QStringLiteral("文件错误，请检查！！");
    QTest::newRow("known text, other context") << "init" << QStringLiteral("串口未打开");
}

void CatalogueTest::untranslatedShowsSource()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    const QByteArray ctx = context.toUtf8();
    const QByteArray src = source.toUtf8();
    QVERIFY(m_translator.translate(ctx.constData(), src.constData()).isEmpty());
    QCOMPARE(QCoreApplication::translate(ctx.constData(), src.constData()), source);
}

void CatalogueTest::sourceFileCounts_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("untranslated");
    QTest::newRow("main window") << "AT" << 96 << 28;
    QTest::newRow("preset dialog") << "init" << 11 << 1;
    QTest::newRow("upgrade dialog") << "upgrade" << 13 << 1;
}

void CatalogueTest::sourceFileCounts()
{
    QFETCH(QString, context);
    QFETCH(int, entries);
    QFETCH(int, untranslated);

    int total = 0;
    int empty = 0;
    QStringList contexts;
    for (const Entry &entry : qAsConst(m_entries)) {
        if (!contexts.contains(entry.context))
            contexts << entry.context;
        if (entry.context == context) {
            ++total;
            empty += entry.translation.isEmpty();
        }
    }
    QCOMPARE(contexts, QStringList({"AT", "init", "upgrade"}));
    QCOMPARE(total, entries);
    QCOMPARE(empty, untranslated);
}

void CatalogueTest::everySourceEntryIsCompiled()
{
    for (const Entry &entry : qAsConst(m_entries)) {
        const QByteArray ctx = entry.context.toUtf8();
        const QByteArray src = entry.source.toUtf8();
        const QString shown = QCoreApplication::translate(ctx.constData(), src.constData());
        const QString expected = entry.translation.isEmpty() ? entry.source : entry.translation;
        QVERIFY2(shown == expected, qPrintable(entry.context + QLatin1Char('/') + entry.source));
    }
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
