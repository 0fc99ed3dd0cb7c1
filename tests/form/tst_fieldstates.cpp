#include "fieldmarks.h"
#include "fieldstates.h"

#include <QtTest>

// Each register field's state as the operator's actions set it, the border that shows it, and
// the fields that "write every edited field" picks.
class FieldStatesTest : public QObject
{
    Q_OBJECT
private slots:
    void transitions_data();
    void transitions();
};

// Steps "name:state", in order; the look is that of the last step's field; restyles counts the
// steps that changed a field's state (a field's first state is a change).
void FieldStatesTest::transitions_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("edited");
    QTest::addColumn<QString>("look");
    QTest::addColumn<int>("restyles");
    const QString black = "border-color :black ", yellow = "border-color :yellow ";
    QTest::newRow("typed") << QStringList{"S105:Edited"} << QStringList{"S105"} << yellow << 1;
    QTest::newRow("written") << QStringList{"S105:Edited", "S105:Written"} << QStringList{}
                             << "border-color :#478CB6 " << 2;
    QTest::newRow("failed") << QStringList{"S105:Edited", "S105:Failed"} << QStringList{}
                            << "border-color :red " << 2;
    QTest::newRow("typed after a failed write")
        << QStringList{"S105:Edited", "S105:Failed", "S105:Edited"} << QStringList{"S105"} << yellow
        << 3;
    QTest::newRow("edited twice restyles once")
        << QStringList{"S133:Edited", "S133:Edited"} << QStringList{"S133"} << yellow << 1;
    QTest::newRow("catalogue order")
        << QStringList{"S133:Edited", "S101:Edited"} << QStringList{"S101", "S133"} << yellow << 2;
    QTest::newRow("identity never written")
        << QStringList{"I1:Edited"} << QStringList{} << yellow << 1;
    QTest::newRow("filled again") << QStringList{"S101:Edited", "S101:Clean"} << QStringList{}
                                  << black << 2;
}

void FieldStatesTest::transitions()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, edited);
    QFETCH(QString, look);
    QFETCH(int, restyles);
    const QMap<QString, FieldState> byName{{"Clean", FieldState::Clean},
                                           {"Edited", FieldState::Edited},
                                           {"Written", FieldState::Written},
                                           {"Failed", FieldState::Failed}};
    FieldStates states;
    int changes = 0;
    QString name;
    for (const QString &step : steps) {
        name = step.section(':', 0, 0);
        changes += states.set(name, byName.value(step.section(':', 1)));
    }
    QCOMPARE(states.edited(), edited);
    QCOMPARE(FieldMarks::of(states.state(name)), look);
    QCOMPARE(changes, restyles);
}

QTEST_MAIN(FieldStatesTest)
#include "tst_fieldstates.moc"
