#include "catalogue.h"

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
    void shown_data();
    void shown();
    void sourceFileIsCompiled();

private:
    QTranslator m_translator;
    QVector<Entry> m_entries;
};

void CatalogueTest::initTestCase()
{
    initCatalogue();
    QVERIFY(m_translator.load(QStringLiteral(":/tran/en_tr.qm")));
    QCOMPARE(m_translator.language(), QStringLiteral("en_AS"));
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
    m_entries = readCatalogueSource(QStringLiteral(EN_TR_TS));
    QVERIFY(!m_entries.isEmpty());
}

// What the lookup gives with the catalogue installed (or without it): the English text, or the
// source text where the catalogue has none for that context.
void CatalogueTest::shown_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *name, bool installed, const char *context, const char *source,
                        const char *shown = nullptr) {
        QTest::newRow(name) << installed << QString::fromUtf8(context) << QString::fromUtf8(source)
                            << QString::fromUtf8(shown ? shown : source);
    };
    row("port close", true, "AT", "关闭", "Close");
    row("port not open", true, "AT", "串口未打开", "The serial port is not open");
    row("choice item", true, "AT", "有中心MESH", "Mesh");
    row("RS485 item", true, "AT", "RS485全双工", "RS485 full duplex");
    row("tooltip piece with blank", true, "AT", "输入范围 1~254", "Input range 1~254");
    row("tooltip piece with semicolon", true, "AT",
        "从端设置的本机地址应在这些地址内，否则无法接入网络",
        "The local address set on the slave should be within these addresses;otherwise, the "
        "network cannot be accessed.");
    row("file caption", true, "upgrade", "选择升级文件！", "Select Update Files!");
    row("cancel", true, "upgrade", "取消", "Cancel");
    row("failure, fullwidth comma", true, "upgrade", "升级失败，请检查！！",
        "Update Failed，Please Check Update File!!");
    row("success, fullwidth exclamation marks", true, "upgrade", "升级成功，请重启设置！！",
        "Update Successfully,Reboot Device！！");
    row("loading prompt", true, "upgrade", "固件加载中...", "Firmware loading...");
    row("baud rate, no translation", true, "AT", "115200");
    row("window title, no translation", true, "AT", "AT");
    row("access mode, no translation", true, "AT", "TDMA_AUTO");
    row("dialog caption, no translation", true, "upgrade", "Dialog");
    row("file error box, no entry", true, "upgrade", "文件错误，请检查！！");
    row("known text, other context", true, "init", "串口未打开");
    row("without the catalogue: title", false, "AT", "DR58 AT配置平台");
    row("without the catalogue: upgrade failure", false, "upgrade", "升级失败，请检查！！");
}

void CatalogueTest::shown()
{
    QFETCH(bool, installed);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, shown);
    if (!installed)
        QCoreApplication::removeTranslator(&m_translator);
    const QString got =
        QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData());
    if (!installed)
        QCoreApplication::installTranslator(&m_translator);
    QCOMPARE(got, shown);
}

// The source file has every entry, and each shows as the compiled catalogue says.
void CatalogueTest::sourceFileIsCompiled()
{
    QStringList contexts;
    QMap<QString, QPair<int, int>> counts; // entries, entries without a translation
    for (const Entry &entry : qAsConst(m_entries)) {
        if (!contexts.contains(entry.context))
            contexts << entry.context;
        ++counts[entry.context].first;
        counts[entry.context].second += entry.translation.isEmpty();
        const QString shown = QCoreApplication::translate(entry.context.toUtf8().constData(),
                                                          entry.source.toUtf8().constData());
        QCOMPARE(shown, entry.translation.isEmpty() ? entry.source : entry.translation);
    }
    QCOMPARE(contexts, QStringList({"AT", "init", "upgrade"}));
    QCOMPARE(counts.value("AT"), qMakePair(96, 28));
    QCOMPARE(counts.value("init"), qMakePair(11, 1));
    QCOMPARE(counts.value("upgrade"), qMakePair(13, 1));
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
