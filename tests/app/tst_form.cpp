#include "at.h"

#include <QtTest>
#include <QtWidgets>

// The register form as the operator meets it right after start-up (no catalogue installed, so
// the Chinese source texts show).
class FormTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_window = std::make_unique<AT>(); }
    void cleanup() { m_window.reset(); }
    void validators_data();
    void validators();
    void editsMarkYellow();

private:
    template <typename T = QWidget> T *field(const QString &name)
    {
        return m_window->findChild<T *>(name);
    }
    QString styleOf(const char *name) { return field(name)->styleSheet(); }
    std::unique_ptr<AT> m_window;
};

// Out of range but of fitting length stays typable (intermediate), yet never acceptable.
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
    QTest::newRow("S105 70000") << "S105"
                                << "70000" << partial;
    QTest::newRow("S105 negative") << "S105"
                                   << "-1" << no;
    QTest::newRow("S114 0 while typing") << "S114"
                                         << "0" << partial;
    QTest::newRow("S108 free text") << "S108"
                                    << "27 dBm" << ok;
}

void FormTest::validators()
{
    QFETCH(QString, name);
    QFETCH(QString, input);
    QFETCH(int, state);
    const QValidator *validator = field<QLineEdit>(name)->validator();
    int pos = 0;
    QCOMPARE(validator ? int(validator->validate(input, pos)) : int(QValidator::Acceptable), state);
}

// What the operator types or picks turns yellow; what the program sets in a drop-down does not.
void FormTest::editsMarkYellow()
{
    m_window->show();
    auto *edit = field<QLineEdit>("S105");
    QTest::keyClick(edit, Qt::Key_4);
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

QTEST_MAIN(FormTest)
#include "tst_form.moc"
