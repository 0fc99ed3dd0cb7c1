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

// Every entry of the source file shows as the compiled catalogue says.
void CatalogueTest::sourceFileIsCompiled()
{
    QStringList contexts;
    for (const Entry &entry : qAsConst(m_entries)) {
        if (!contexts.contains(entry.context))
            contexts << entry.context;
        const QString shown = QCoreApplication::translate(entry.context.toUtf8().constData(),
                                                          entry.source.toUtf8().constData());
        QCOMPARE(shown, entry.translation.isEmpty() ? entry.source : entry.translation);
    }
    QCOMPARE(contexts, QStringList({"AT", "init", "upgrade"}));
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
