#include "presets.h"
#include "registercatalog.h"

#include <QtTest>

// The catalogue's value mapping and preset codes, as the modem understands them.
class CatalogTest : public QObject
{
    Q_OBJECT
private slots:
    void wireValues_data();
    void wireValues();
    void presetCodeFallsBackToTheFirst();
};

// Drop-down index and wire value, both ways; S102 has no wire values 10 to 14.
void CatalogTest::wireValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("wire");
    QTest::newRow("S102 460800") << "S102" << 10 << 15;
    QTest::newRow("S102 in the gap") << "S102" << 14 << 14;
    QTest::newRow("S102 beyond the list") << "S102" << 12 << 17;
    QTest::newRow("S102 blank") << "S102" << -1 << -1;
    QTest::newRow("S101 has no gap") << "S101" << 15 << 15;
}

void CatalogTest::wireValues()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, wire);
    if (index < RegisterCatalog::find(name)->items.size())
        QCOMPARE(RegisterCatalog::wireValueForIndex(name, index), wire);
    QCOMPARE(RegisterCatalog::indexForWireValue(name, wire), index);
}

void CatalogTest::presetCodeFallsBackToTheFirst()
{
    QCOMPARE(Presets::codeForIndex(2), 9);
    QCOMPARE(Presets::codeForIndex(-1), 7);
    QCOMPARE(Presets::codeForIndex(Presets::all().size()), 7);
}

QTEST_APPLESS_MAIN(CatalogTest)
#include "tst_catalog.moc"
