#include "at.h"
#include "registercatalog.h"

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
    void choiceItems();
    void validators_data();
    void validators();
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

// Each drop-down shows its register's items in the catalogue's order, fixed, not editable.
void FormTest::choiceItems()
{
    const auto shown = [this](const QString &name) {
        auto *box = m_window->findChild<QComboBox *>(name);
        QStringList texts{QString::number(box->isEditable())};
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (reg.kind != FieldKind::Choice)
            continue;
        QStringList items{"0"}; // not editable
        for (const ChoiceItem &item : reg.items)
            items << QString::fromUtf8(item.text);
        QCOMPARE(shown(reg.name), items);
    }
    QCOMPARE(shown("UartComBaud"), QStringList{"0"} + RegisterCatalog::portBaudRates());
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
        {"S105 top", "S105", "65535", ok},
        {"S105 70000", "S105", "70000", partial},
        {"S105 negative", "S105", "-1", no},
        {"S140 above", "S140", "65536", partial},
        {"S113 256", "S113", "256", partial},
        {"S114 0 while typing", "S114", "0", partial},
        {"S220 0 while typing", "S220", "0", partial},
        {"S220 255", "S220", "255", partial},
        {"S108 free text", "S108", "27 dBm", ok},
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
