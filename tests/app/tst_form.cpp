#include "at.h"

#include <QtTest>
#include <QtWidgets>

// The register form as the operator meets it right after start-up (no catalogue installed, so
// the Chinese source texts show).
class FormTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void registerGrid();
    void choiceItems_data();
    void choiceItems();
    void validators_data();
    void validators();
    void tooltips_data();
    void tooltips();
    void startsBlankAndClean();
    void editsMarkYellow();
    void commandColumn();

private:
    template <typename T> T *field(const char *name) { return m_window->findChild<T *>(name); }
    QString styleOf(const char *name) { return field<QWidget>(name)->styleSheet(); }
    std::unique_ptr<AT> m_window;
};

void FormTest::init()
{
    m_window = std::make_unique<AT>();
}

void FormTest::cleanup()
{
    m_window.reset();
}

// Row by row, the left group first: each field with its label before it and, unless it is an
// info field, its write button after it.
void FormTest::registerGrid()
{
    const QString expected = "S133 choice, S101 choice, S108 text, S103 choice, S104 text, "
                             "S110 choice, S102 choice, S105 text, S142 choice, S118 text, "
                             "S141 choice, S140 text, S114 text, S113 text, S143 choice, "
                             "S221 text, S244 choice, S220 text, S159 choice, S160 text, "
                             "I1 info, I3 info, I4 info, I2 info";
    auto *grid = field<QWidget>("widget")->findChild<QGridLayout *>("gridLayout_2");
    QStringList found;
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (const int column : {3, 9}) {
            QLayoutItem *item = grid->itemAtPosition(row, column);
            if (!item)
                continue;
            QWidget *field = item->widget();
            const QString name = field->objectName();
            const bool info = field->focusPolicy() == Qt::NoFocus && field->isEnabled();
            found << name + (qobject_cast<QComboBox *>(field) ? " choice"
                             : info                           ? " info"
                                                              : " text");
            QCOMPARE(grid->itemAtPosition(row, column == 3 ? 0 : 7)->widget()->objectName(),
                     "label_" + (info ? name : name.mid(1)));
            QLayoutItem *button = grid->itemAtPosition(row, column + 1);
            QCOMPARE(button ? button->widget()->objectName() : QString(),
                     info ? QString() : "Button" + name);
            QVERIFY(!button || qobject_cast<QPushButton *>(button->widget())->text().isEmpty());
        }
    }
    QCOMPARE(found.join(", "), expected);
}

void FormTest::choiceItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    const struct
    {
        const char *name, *items;
    } rows[] = {
        {"S101", "主模式|中继模式|从模式"},
        {"S102", "230400|115200|57600|38400|28800|19200|14400|9600|7200|4800|460800|921600"},
        {"S103", "172800|230400|276400|57600|115200"},
        {"S110", "|8N1"},
        {"S133", "点对多点|点对点|有中心MESH"},
        {"S141", "无中继|有中继"},
        {"S142", "RS232|RS485半双工|RS485全双工"},
        {"S143", "OFF|ON"},
        {"S159", "OFF|ON"},
        {"S244", "RTS/CTS|TDMA|TDMA_AUTO"},
        {"UartComBaud", "115200|9600|4800|7200|14400|19200|28800|38400|57600|230400|460800|921600"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.name << QString::fromUtf8(r.items).split('|');
}

void FormTest::choiceItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    auto *box = m_window->findChild<QComboBox *>(name);
    QVERIFY(box);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    QCOMPARE(shown, items);
    QVERIFY(!box->isEditable());
}

void FormTest::validators_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    const int ok = QValidator::Acceptable, partial = QValidator::Intermediate,
              no = QValidator::Invalid;
    const struct
    {
        const char *row, *name, *input;
        int state;
    } rows[] = {
        {"S104 top", "S104", "4294967295", ok},
        {"S104 above top", "S104", "4294967296", partial},
        {"S104 decimal point", "S104", "1.5", no},
        {"S104 letters", "S104", "12a", no},
        {"S221 70000", "S221", "70000", ok},
        {"S105 top", "S105", "65535", ok},
        {"S105 70000", "S105", "70000", partial},
        {"S105 negative", "S105", "-1", no},
        {"S118 top", "S118", "65535", ok},
        {"S140 above", "S140", "65536", partial},
        {"S113 255", "S113", "255", ok},
        {"S113 256", "S113", "256", partial},
        {"S114 0 while typing", "S114", "0", partial},
        {"S114 254", "S114", "254", ok},
        {"S220 0 while typing", "S220", "0", partial},
        {"S220 255", "S220", "255", partial},
        {"S108 free text", "S108", "27 dBm", ok},
        {"S160 free text", "S160", "a key", ok},
    };
    for (const auto &r : rows)
        QTest::newRow(r.row) << r.name << r.input << r.state;
}

void FormTest::validators()
{
    QFETCH(QString, name);
    QFETCH(QString, input);
    QFETCH(int, state);
    // Out of range but of fitting length stays typable (intermediate), yet never acceptable.
    auto *edit = m_window->findChild<QLineEdit *>(name);
    int pos = 0;
    const int actual =
        edit->validator() ? edit->validator()->validate(input, pos) : QValidator::Acceptable;
    QCOMPARE(actual, state);
}

void FormTest::tooltips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("S118") << "S118"
                          << "输入范围0~65535\r\n点对点网络：本机地址设置0时，自动分配同步地址\r\n"
                             "            当本机地址不为0时，必须设置同步地址\r\n"
                             "点对多点网络：必须手动设置正确的同步地址";
    QTest::newRow("S220") << "S220"
                          << "输入范围 1~254\r\nTDMA模式下连续分配给设备的最大时隙以便设备发送大"
                             "数据包；主端设置有效，从端无需设置";
    QTest::newRow("S221") << "S221"
                          << "输入范围0~65535\r\nTDMA模式下主端轮询的最大地址，从端此参数无效\r\n"
                             "从端设置的本机地址应在这些地址内，否则无法接入网络";
    QTest::newRow("S108 none") << "S108"
                               << "";
    QTest::newRow("S101 none") << "S101"
                               << "";
}

void FormTest::tooltips()
{
    QFETCH(QString, name);
    QFETCH(QString, tooltip);
    QCOMPARE(m_window->findChild<QWidget *>(name)->toolTip(), tooltip);
}

void FormTest::startsBlankAndClean()
{
    QCOMPARE(m_window->size(), QSize(991, 674));
    for (auto *box : field<QWidget>("widget")->findChildren<QComboBox *>()) {
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(box->styleSheet(), QStringLiteral("border-color :black "));
    }
    for (auto *edit : field<QWidget>("widget")->findChildren<QLineEdit *>()) {
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(edit->styleSheet(), QStringLiteral("border-color :black "));
    }
    QCOMPARE(field<QComboBox>("UartComBaud")->currentText(), QStringLiteral("9600"));
}

// What the operator types or picks turns yellow; what the program sets in a drop-down does not.
void FormTest::editsMarkYellow()
{
    m_window->show();
    auto *edit = field<QLineEdit>("S105");
    QTest::keyClick(edit, Qt::Key_4);
    QCOMPARE(styleOf("S105"), QStringLiteral("border-color :yellow "));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(styleOf("S105"), QStringLiteral("border-color :yellow "));
    field<QLineEdit>("I1")->setText("x");
    QCOMPARE(styleOf("I1"), QStringLiteral("border-color :yellow "));

    auto *box = field<QComboBox>("S133");
    box->setCurrentIndex(1);
    QCOMPARE(styleOf("S133"), QStringLiteral("border-color :black "));
    emit box->activated(1); // the operator picks the item already shown
    QCOMPARE(styleOf("S133"), QStringLiteral("border-color :yellow "));
}

void FormTest::commandColumn()
{
    QStringList order;
    auto *column = field<QWidget>("widget1")->findChild<QVBoxLayout *>("verticalLayout");
    for (int i = 0; i < column->count(); ++i) {
        QWidget *w = column->itemAt(i)->widget();
        order << (w ? w->objectName() : QStringLiteral("gap"));
    }
    QCOMPARE(order, QStringList({"label", "UartCom", "UartComBaud", "btnUart", "gap", "btnEnterAT",
                                 "btnQuery", "btnSave", "btnExitAT", "gap", "btnInit", "btnUpdate",
                                 "gap", "btnClear"}));
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
