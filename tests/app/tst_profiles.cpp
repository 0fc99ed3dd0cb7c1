#include "modalanswer.h"
#include "registercatalog.h"
#include "station.h"

// Profiles and the transcript in the window, through its actions, against the simulated modem.
class ProfilesTest : public QObject
{
    Q_OBJECT
private slots:
    void openWriteSaveReopen();
    void badProfileChangesNothing_data();
    void badProfileChangesNothing();
    void transcript();
    void writeEditedOnlyWhenIdle();

private:
    // Triggers the action; its file dialog gets `path`, a message box shown meanwhile is kept.
    void trigger(Station &s, const QString &action, const QString &path)
    {
        ModalAnswer answer([&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                m_box = box->text();
                box->accept();
                return;
            }
            modal->findChild<QLineEdit *>("fileNameEdit")->setText(path);
            static_cast<QDialog *>(modal)->accept();
        });
        s.trigger(action);
    }
    QString write(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    static QStringList shownRegisters(Station &s)
    {
        QStringList values;
        for (const RegisterInfo &reg : RegisterCatalog::registers()) {
            if (reg.kind != FieldKind::Info)
                values << (reg.kind == FieldKind::Choice ? s.combo(reg.name)->currentText()
                                                         : s.edit(reg.name)->text());
        }
        return values;
    }
    QTemporaryDir m_dir;
    QString m_box;
};

void ProfilesTest::openWriteSaveReopen()
{
    Station s;
    s.modem.setRegisterValue("S105", "17");
    QVERIFY(s.enterAtMode());
    s.click("btnQuery");
    s.modem.clearReceived();
    trigger(s, "actionOpenProfile", write("p.ini", "s133 = 2\nS105=017\nS104=99\nS102=7\n"));
    for (const QString name : {"S104", "S133"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :yellow "));
    for (const QString name : {"S101", "S102", "S105", "I1"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :black "));
    QCOMPARE(s.edit("S105")->text(), QStringLiteral("17"));

    s.trigger("actionWriteEdited");
    QCOMPARE(s.modem.received(), QByteArray("ATS104=99\rATS133=2\r"));
    for (const QString name : {"S104", "S133"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :#478CB6 "));
    QCOMPARE(s.modem.registerValue("S104"), QStringLiteral("99"));
    QCOMPARE(s.modem.registerValue("S133"), QStringLiteral("2"));

    const QStringList before = shownRegisters(s);
    const QString saved = m_dir.filePath("saved.json");
    trigger(s, "actionSaveProfile", saved);
    QCOMPARE(QFile::permissions(saved) & 0x0777, QFile::ReadUser | QFile::WriteUser);
    s.click("btnExitAT");
    trigger(s, "actionOpenProfile", saved);
    QCOMPARE(shownRegisters(s), before);
    QCOMPARE(s.mark("S101"), QStringLiteral("border-color :yellow "));
    QVERIFY2(m_box.isEmpty(), qPrintable(m_box));
}

void ProfilesTest::badProfileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("out of range") << QByteArray("S104=5\nS105=70000\n") << ":2: S105: ";
    QTest::newRow("identity") << QByteArray("S104=5\nI1=x\n") << ":2: I1: ";
    QTest::newRow("JSON") << QByteArray("{\"registers\": {\"S104\": 5,\n}}") << ":2: ";
}

// Dropped on the window, a profile that fails its checks is refused with its file, line and
// reason, and no field changes.
void ProfilesTest::badProfileChangesNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    Station s;
    const QString path = write("bad.ini", text);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    m_box.clear();
    ModalAnswer answer([&](QWidget *box) {
        m_box = static_cast<QMessageBox *>(box)->text();
        static_cast<QDialog *>(box)->accept();
    });
    QApplication::sendEvent(s.window.get(), &enter);
    QApplication::sendEvent(s.window.get(), &drop);
    QVERIFY2(m_box.contains(path + reason), qPrintable(m_box));
    QVERIFY(s.edit("S104")->text().isEmpty());
    QCOMPARE(s.mark("S104"), QStringLiteral("border-color :black "));
}

void ProfilesTest::transcript()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.click("btnClear");
    s.modem.sendRaw("noise");
    QTest::qWait(1500); // thrown away unread between operations
    s.click("ButtonS105");
    const QString path = m_dir.filePath("t.txt");
    trigger(s, "actionSaveTranscript", path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QString sent, received;
    const QRegularExpression form("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z " +
                                  QRegularExpression::escape(s.modem.portName().mid(5)) +
                                  " ([<>]) (.*)$");
    for (const QString &line : lines) {
        const auto match = form.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        (match.captured(1) == ">" ? sent : received) += match.captured(2);
    }
    QCOMPARE(sent, QStringLiteral("ATS105=\\r"));
    QCOMPARE(received, QStringLiteral("noiseATS105=\\r\\nERROR\\r\\n"));
}

void ProfilesTest::writeEditedOnlyWhenIdle()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.modem.clearReceived();
    s.trigger("actionWriteEdited");
    QVERIFY(s.modem.received().isEmpty());
    s.modem.setFault(SimModem::Fault::Silent);
    QTest::keyClicks(s.edit("S105"), "5");
    QTimer::singleShot(300, [&] { s.trigger("actionWriteEdited"); });
    s.click("btnSave");
    QCOMPARE(s.modem.received(), QByteArray("\rAT&W\r"));
    QCOMPARE(s.mark("S105"), QStringLiteral("border-color :yellow "));
}

QTEST_MAIN(ProfilesTest)
#include "tst_profiles.moc"
