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
    void windowShape();
    void registerRows_data();
    void registerRows();
    void choiceItems_data();
    void choiceItems();
    void validators_data();
    void validators();
    void tooltips_data();
    void tooltips();
    void startsBlankAndClean();
    void typingMarksYellow();
    void choosingMarksYellowProgramDoesNot();
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

void FormTest::windowShape()
{
    QCOMPARE(m_window->size(), QSize(991, 674));
    auto *grid = field<QWidget>("centralwidget")->findChild<QGridLayout *>("gridLayout");
    QVERIFY(grid);
    const struct
    {
        const char *name;
        int row, column, rowSpan, columnSpan;
    } places[] = {{"widgetTitle", 0, 0, 2, 2},
                  {"widget", 2, 0, 1, 1},
                  {"textBrowser", 3, 0, 1, 1},
                  {"widget1", 2, 1, 3, 1}};
    for (const auto &p : places) {
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(grid->indexOf(field<QWidget>(p.name)), &row, &column, &rowSpan,
                              &columnSpan);
        QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}),
                 QList<int>({p.row, p.column, p.rowSpan, p.columnSpan}));
    }
    QCOMPARE(grid->contentsMargins(), QMargins(3, 0, 0, 0));
    QVERIFY(!field<QPushButton>("btnMenu_Max")->isEnabled());
}

void FormTest::registerRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("label");
    const struct
    {
        const char *name;
        int row;
        bool right;
        const char *kind;
        const char *label;
    } rows[] = {
        {"S133", 1, false, "QComboBox", "网络类型"},
        {"S101", 1, true, "QComboBox", "运行模式"},
        {"S108", 2, false, "QLineEdit", "输出功率"},
        {"S103", 2, true, "QComboBox", "空口速率"},
        {"S104", 3, false, "QLineEdit", "网络ID"},
        {"S110", 3, true, "QComboBox", "串口格式"},
        {"S102", 5, false, "QComboBox", "串口波特率"},
        {"S105", 5, true, "QLineEdit", "本机地址"},
        {"S142", 6, false, "QComboBox", "RS232/RS485"},
        {"S118", 6, true, "QLineEdit", "同步地址"},
        {"S141", 7, false, "QComboBox", "是否有中继"},
        {"S140", 7, true, "QLineEdit", "目标地址"},
        {"S114", 8, false, "QLineEdit", "中继序号"},
        {"S113", 8, true, "QLineEdit", "数据重传次数"},
        {"S143", 9, false, "QComboBox", "GPIO功能扩展"},
        {"S221", 9, true, "QLineEdit", "TDMA最大地址"},
        {"S244", 10, false, "QComboBox", "信道接入方式"},
        {"S220", 10, true, "QLineEdit", "TDMA时隙分配"},
        {"S159", 11, false, "QComboBox", "加密开关"},
        {"S160", 11, true, "QLineEdit", "加密密钥"},
        {"I1", 12, false, "QLineEdit", "硬件版本"},
        {"I3", 12, true, "QLineEdit", "软件版本"},
        {"I4", 13, false, "QLineEdit", "生产序号"},
        {"I2", 13, true, "QLineEdit", "固件版本"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.name << r.row << r.right << r.kind << QString::fromUtf8(r.label);
}

void FormTest::registerRows()
{
    QFETCH(QString, name);
    QFETCH(int, row);
    QFETCH(bool, right);
    QFETCH(QString, kind);
    QFETCH(QString, label);
    auto *grid = field<QWidget>("widget")->findChild<QGridLayout *>("gridLayout_2");
    auto position = [grid](QWidget *w) {
        int r, c, rs, cs;
        grid->getItemPosition(grid->indexOf(w), &r, &c, &rs, &cs);
        return qMakePair(r, c);
    };
    const bool info = name.startsWith('I');
    QWidget *edit = m_window->findChild<QWidget *>(name);
    QVERIFY(edit);
    QCOMPARE(edit->metaObject()->className(), kind);
    QCOMPARE(position(edit), qMakePair(row, right ? 9 : 3));

    auto *labelWidget = m_window->findChild<QLabel *>("label_" + (info ? name : name.mid(1)));
    QVERIFY(labelWidget);
    QCOMPARE(labelWidget->text(), label);
    QCOMPARE(position(labelWidget), qMakePair(row, right ? 7 : 0));

    auto *button = m_window->findChild<QPushButton *>("Button" + name);
    QCOMPARE(button != nullptr, !info);
    if (button) {
        QCOMPARE(position(button), qMakePair(row, right ? 10 : 4));
        QVERIFY(button->text().isEmpty());
    } else {
        QCOMPARE(edit->focusPolicy(), Qt::NoFocus);
        QVERIFY(edit->isEnabled());
    }
}

void FormTest::choiceItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("S101") << "S101" << QStringList{"主模式", "中继模式", "从模式"};
    QTest::newRow("S102") << "S102"
                          << QStringList{"230400", "115200", "57600", "38400", "28800",  "19200",
                                         "14400",  "9600",   "7200",  "4800",  "460800", "921600"};
    QTest::newRow("S103") << "S103" << QStringList{"172800", "230400", "276400", "57600", "115200"};
    QTest::newRow("S110") << "S110" << QStringList{"", "8N1"};
    QTest::newRow("S133") << "S133" << QStringList{"点对多点", "点对点", "有中心MESH"};
    QTest::newRow("S141") << "S141" << QStringList{"无中继", "有中继"};
    QTest::newRow("S142") << "S142" << QStringList{"RS232", "RS485半双工", "RS485全双工"};
    QTest::newRow("S143") << "S143" << QStringList{"OFF", "ON"};
    QTest::newRow("S159") << "S159" << QStringList{"OFF", "ON"};
    QTest::newRow("S244") << "S244" << QStringList{"RTS/CTS", "TDMA", "TDMA_AUTO"};
    QTest::newRow("UartComBaud") << "UartComBaud"
                                 << QStringList{"115200", "9600",   "4800",   "7200",
                                                "14400",  "19200",  "28800",  "38400",
                                                "57600",  "230400", "460800", "921600"};
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
    QTest::newRow("S104 top") << "S104"
                              << "4294967295" << ok;
    QTest::newRow("S104 above top") << "S104"
                                    << "4294967296" << partial;
    QTest::newRow("S104 decimal point") << "S104"
                                        << "1.5" << no;
    QTest::newRow("S104 letters") << "S104"
                                  << "12a" << no;
    QTest::newRow("S221 70000") << "S221"
                                << "70000" << ok;
    QTest::newRow("S105 top") << "S105"
                              << "65535" << ok;
    QTest::newRow("S105 70000") << "S105"
                                << "70000" << partial;
    QTest::newRow("S105 negative") << "S105"
                                   << "-1" << no;
    QTest::newRow("S118 top") << "S118"
                              << "65535" << ok;
    QTest::newRow("S140 above") << "S140"
                                << "65536" << partial;
    QTest::newRow("S113 255") << "S113"
                              << "255" << ok;
    QTest::newRow("S113 256") << "S113"
                              << "256" << partial;
    QTest::newRow("S114 0 while typing") << "S114"
                                         << "0" << partial;
    QTest::newRow("S114 254") << "S114"
                              << "254" << ok;
    QTest::newRow("S220 0 while typing") << "S220"
                                         << "0" << partial;
    QTest::newRow("S220 255") << "S220"
                              << "255" << partial;
    QTest::newRow("S108 free text") << "S108"
                                    << "27 dBm" << ok;
    QTest::newRow("S160 free text") << "S160"
                                    << "a key" << ok;
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
    QTest::newRow("S104") << "S104"
                          << "输入范围0~4294967295\r\n同一个网络中所有设备必须有相同的网络ID";
    QTest::newRow("S118") << "S118"
                          << "输入范围0~65535\r\n点对点网络：本机地址设置0时，自动分配同步地址\r\n"
                             "            当本机地址不为0时，必须设置同步地址\r\n"
                             "点对多点网络：必须手动设置正确的同步地址";
    QTest::newRow("S141") << "S141"
                          << "仅主端需要设置";
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

void FormTest::typingMarksYellow()
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
}

void FormTest::choosingMarksYellowProgramDoesNot()
{
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
    const QList<QPair<const char *, const char *>> texts = {
        {"label", "串口："},         {"btnUart", "打开"},   {"btnEnterAT", "进入AT模式"},
        {"btnQuery", "查询"},        {"btnSave", "保存"},   {"btnExitAT", "退出AT模式"},
        {"btnInit", "恢复出厂设置"}, {"btnUpdate", "升级"}, {"btnClear", "清除"}};
    for (const auto &t : texts)
        QCOMPARE(field<QWidget>(t.first)->property("text").toString(), QString::fromUtf8(t.second));
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
