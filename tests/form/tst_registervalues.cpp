#include "datatable.h"
#include "registercatalog.h"
#include "registervalues.h"
#include "valuecheck.h"

#include <QtTest>

namespace {

// Identity lines, then "<name> <label>=<value>" entries ended by a blank, a tab or a line end.
const QByteArray Listing = "AT&V\r\nHardware Version DR58-H2.1\r\n\r\n"
                           "S101 Operating mode=02\tS102 Serial baud=10\tS104 Network ID=77 "
                           "S141 Repeaters=2\r\nS110 Serial format=x\r\nS160 Key=dr58key\r\nOK\r\n";

QString shown(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("?");
}

} // namespace

// What the modem's replies say about its registers, and which values a register takes.
class RegisterValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void listingValues_data()
    {
        table({"name", "value"}, // value "-" when absent, "?" when unreadable
              {{"choice, as its wire value", "S101", "2"},
               {"S102 in the gap of its values", "S102", "?"},
               {"choice beyond its items", "S141", "?"},
               {"choice that is no number", "S110", "?"},
               {"free text", "S160", "dr58key"},
               {"identity", "I1", "DR58-H2.1"},
               {"identity missing", "I2", "-"},
               {"register missing", "S105", "?"}});
    }
    void listingValues()
    {
        const QString name = cell("name");
        const QString value = cell("value");
        const auto values = RegisterValues::fromListing(Listing);
        QCOMPARE(values.contains(name) ? shown(values.value(name)) : QStringLiteral("-"), value);
        // Without its echo the reply is no listing: no register in it is read.
        QVERIFY(name.startsWith('I') || !RegisterValues::fromListing(Listing.mid(6)).value(name));
    }

    void singleAnswer_data()
    {
        table({"reply", "answer"}, // "<name>=<value>", "?" when unreadable; empty: none
              {{"text", "ATS160?\r\nsecret\r\nOK\r\n", "S160=secret"},
               {"no value line", "ATS244?\r\nOK\r\n", "S244=?"},
               {"value not followed by OK", "ATS160?\r\nkey\r\nERR OK\r\n", "S160=?"},
               {"beyond the items", "ATS244?\r\n3\r\nOK\r\n", "S244=?"},
               {"unknown register", "ATS150?\r\n12\r\nOK\r\n", ""},
               {"identity is never queried", "ATI1?\r\nx\r\nOK\r\n", ""}});
    }
    void singleAnswer()
    {
        QFETCH(QByteArray, reply);
        const QString answer = cell("answer");
        const auto read = RegisterValues::fromSingleAnswer(reply);
        QCOMPARE(read ? read->name + "=" + shown(read->value) : QString(), answer);
    }

    void valueCheck_data()
    {
        table({"name", "value", "accepted"},
              {{"S102 fastest rate", "S102", "16", "1"},
               {"S102 gap", "S102", "12", ""},
               {"choice as a sign", "S133", "-1", ""},
               {"S104 top", "S104", "4294967295", "1"},
               {"S104 beyond the top", "S104", "4294967296", ""},
               {"huge number", "S113", "99999999999999999999999", ""},
               {"S221 above its tooltip's range", "S221", "70000", "1"},
               {"decimal point", "S104", "1.5", ""},
               {"free text with blanks, Latin-1", "S160", "my clé", "1"},
               {"free text beyond Latin-1", "S160", "ключ", ""},
               {"carriage return would end the command", "S108", "3\r0", ""},
               {"C1 control character", "S160", "a\xc2\x9b", ""},
               {"command signs", "S160", "a=b?", ""},
               {"blank where the listing is the only reading", "S108", "3 0", ""},
               {"the end of an answer", "S160", "OK", ""},
               {"a register's name", "S160", "xS244", ""}});
    }
    void valueCheck()
    {
        const QString name = cell("name");
        const QString value = cell("value");
        QFETCH(QByteArray, accepted);
        const QString problem = ValueCheck::problem(*RegisterCatalog::find(name), value);
        QVERIFY2(problem.isEmpty() == !accepted.isEmpty(), qPrintable(problem));
    }
};

QTEST_APPLESS_MAIN(RegisterValuesTest)
#include "tst_registervalues.moc"
