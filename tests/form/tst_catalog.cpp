#include "presets.h"
#include "registercatalog.h"

#include <QtTest>

// The catalogue's value mapping and preset codes, as the modem understands them.
class CatalogTest : public QObject
{
    Q_OBJECT
private slots:
    void wireValue_data();
    void wireValue();
    void index_data();
    void index();
    void presetCode_data();
    void presetCode();
    void namesAreUnique();
};

void CatalogTest::wireValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("wire");
    QTest::newRow("S102 4800") << "S102" << 9 << 9;
    QTest::newRow("S102 460800") << "S102" << 10 << 15;
    QTest::newRow("S102 921600") << "S102" << 11 << 16;
    QTest::newRow("S102 blank") << "S102" << -1 << -1;
    QTest::newRow("S133 second") << "S133" << 1 << 1;
    QTest::newRow("S244 blank") << "S244" << -1 << -1;
}

void CatalogTest::wireValue()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, wire);
    QCOMPARE(RegisterCatalog::wireValueForIndex(name, index), wire);
}

void CatalogTest::index_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("wire");
    QTest::addColumn<int>("index");
    QTest::newRow("S102 9") << "S102" << 9 << 9;
    QTest::newRow("S102 10") << "S102" << 10 << 10;
    QTest::newRow("S102 14") << "S102" << 14 << 14;
    QTest::newRow("S102 15") << "S102" << 15 << 10;
    QTest::newRow("S102 16") << "S102" << 16 << 11;
    QTest::newRow("S102 17") << "S102" << 17 << 12;
    QTest::newRow("S141 2") << "S141" << 2 << 2;
    QTest::newRow("S101 15 stays") << "S101" << 15 << 15;
}

void CatalogTest::index()
{
    QFETCH(QString, name);
    QFETCH(int, wire);
    QFETCH(int, index);
    QCOMPARE(RegisterCatalog::indexForWireValue(name, wire), index);
}

void CatalogTest::presetCode_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    const int codes[] = {7, 8, 9, 10, 11, 12, 4, 5};
    for (int i = 0; i < 8; ++i)
        QTest::addRow("item %d", i) << i << codes[i];
    QTest::newRow("below") << -1 << 7;
    QTest::newRow("above") << 8 << 7;
}

void CatalogTest::presetCode()
{
    QFETCH(int, index);
    QFETCH(int, code);
    QCOMPARE(Presets::codeForIndex(index), code);
}

void CatalogTest::namesAreUnique()
{
    QSet<QString> names;
    QSet<QPair<int, bool>> places;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        names.insert(QLatin1String(reg.name));
        places.insert({reg.row, reg.rightGroup});
    }
    QCOMPARE(names.size(), 24);
    QCOMPARE(places.size(), 24);
}

QTEST_APPLESS_MAIN(CatalogTest)
#include "tst_catalog.moc"
