#include "catalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

class CatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void sourceFileIsCompiled();
};

// Every message of the translation source file shows as the compiled catalogue says: its
// finished translation, or its source text when it has none.
void CatalogueTest::sourceFileIsCompiled()
{
    initCatalogue();
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/tran/en_tr.qm")));
    QCOMPARE(translator.language(), QStringLiteral("en_AS"));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QFile file(QStringLiteral(EN_TR_TS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList contexts;
    QByteArray source;
    int messages = 0;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            contexts << xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText().toUtf8();
        } else if (xml.name() == QLatin1String("translation")) {
            const bool unfinished = xml.attributes().value("type") == QLatin1String("unfinished");
            const QString text = xml.readElementText();
            const QString shown = QCoreApplication::translate(contexts.last().toUtf8().constData(),
                                                              source.constData());
            QCOMPARE(shown, unfinished || text.isEmpty() ? QString::fromUtf8(source) : text);
            ++messages;
        }
    }
    QCOMPARE(contexts, QStringList({"AT", "init", "upgrade"}));
    QVERIFY(messages > 100);
}

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
