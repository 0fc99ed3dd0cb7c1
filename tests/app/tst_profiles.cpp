#include "fullfs.h"
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
    void planSectionBySerial();
    void transcript();
    void saveOntoFullFileSystem();

private:
    // Triggers the action and gives its file dialog `path`.
    static void trigger(Station &s, const QString &action, const QString &path)
    {
        ModalAnswer answer([&](QWidget *files) {
            files->findChild<QLineEdit *>("fileNameEdit")->setText(path);
            static_cast<QDialog *>(files)->accept();
        });
        s.trigger(action);
    }
    // Drops the file on the window, as an operator drags it from a file manager.
    static void drop(Station &s, const QString &path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.window.get(), &enter);
        QApplication::sendEvent(s.window.get(), &drop);
    }
    QString write(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    static QStringList registers(Station &s)
    {
        QStringList values;
        for (const RegisterInfo &reg : RegisterCatalog::registers()) {
            const char *shown = reg.kind == FieldKind::Choice ? "currentText" : "text";
            if (reg.kind != FieldKind::Info)
                values << s.find(reg.name)->property(shown).toString();
        }
        return values;
    }
    QTemporaryDir m_dir;
};

// A profile after a query, its edited fields written, saved and opened again.
void ProfilesTest::openWriteSaveReopen()
{
    Station s;
    s.modem.setRegisterValue("S105", "17");
    QVERIFY(s.enterAtMode());
    s.click("btnQuery");
    s.modem.clearReceived();
    s.trigger("actionWriteEdited");
    QVERIFY(s.modem.received().isEmpty());
    trigger(s, "actionOpenProfile", write("p.ini", "s133 = 2\nS105=017\nS104=99\nS102=7\n"));
    for (const QString name : {"S104", "S133"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :yellow "));
    for (const QString name : {"S101", "S102", "S105", "I1"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :black "));
    QCOMPARE(s.edit("S105")->text(), QStringLiteral("17"));

    s.modem.setFault(SimModem::Fault::Silent); // the busy guard turns the writes away
    s.whenModemReceived("AT&W\r", [&] { s.trigger("actionWriteEdited"); });
    s.click("btnSave");
    s.modem.setFault(SimModem::Fault::None);
    QCOMPARE(s.mark("S104"), QStringLiteral("border-color :yellow "));
    s.modem.clearReceived();
    s.trigger("actionWriteEdited");
    QCOMPARE(s.modem.received(), QByteArray("ATS104=99\rATS133=2\r"));
    for (const QString name : {"S104", "S133"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :#478CB6 "));
    QCOMPARE(s.modem.registerValue("S104"), QStringLiteral("99"));
    QCOMPARE(s.modem.registerValue("S133"), QStringLiteral("2"));

    const QStringList shown = registers(s);
    const QString saved = m_dir.filePath("saved.json");
    trigger(s, "actionSaveProfile", saved);
    QCOMPARE(QFile::permissions(saved) & 0x0777, QFile::ReadUser | QFile::WriteUser);
    s.click("btnExitAT");
    trigger(s, "actionOpenProfile", saved);
    QCOMPARE(registers(s), shown);
    QCOMPARE(s.mark("S101"), QStringLiteral("border-color :yellow "));
}

void ProfilesTest::badProfileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("out of range") << QByteArray("S104=5\nS105=70000\n") << ":2: S105: ";
    QTest::newRow("identity") << QByteArray("S104=5\nI1=x\n") << ":2: I1: ";
    QTest::newRow("JSON") << QByteArray("{\"registers\": {\"S104\": 5,\n}}") << ":2: ";
}

// Dropped on the window, a profile that fails its checks is refused in the window's own box with
// its file, line and reason, and no field changes.
void ProfilesTest::badProfileChangesNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    Station s;
    const QString path = write("bad.ini", text);
    QString shown;
    QStringList frame;
    ModalAnswer answer([&](QWidget *box) {
        shown = static_cast<QMessageBox *>(box)->text();
        frame = boxFrame(box);
        static_cast<QDialog *>(box)->accept();
    });
    drop(s, path);
    QVERIFY2(shown.contains(path + reason), qPrintable(shown));
    QCOMPARE(frame, QStringList({"错误", "确定"})); // the window's own box, not the helper's
    QVERIFY(s.edit("S104")->text().isEmpty());
    QCOMPARE(s.mark("S104"), QStringLiteral("border-color :black "));
}

// A site plan fills the form with the network's values and those of the section of the serial
// number the form shows; without one, or with one the plan lacks, a message says so and nothing
// changes.
void ProfilesTest::planSectionBySerial()
{
    Station s;
    const QString plan = write("site.ini", "[network]\nS104=77\n[radio SN-7]\nS101=0\nS105=1\n"
                                           "[radio SN-8]\nS101=2\nS105=9\n");
    QStringList shown;
    ModalAnswer answer([&](QWidget *box) {
        shown << static_cast<QMessageBox *>(box)->text();
        static_cast<QDialog *>(box)->accept();
    });
    const QStringList blank = registers(s);
    drop(s, plan);
    s.modem.setIdentity(SimModem::Identity::SerialNumber, "SN-9");
    QVERIFY(s.enterAtMode());
    s.click("btnQuery");
    const QStringList queried = registers(s);
    drop(s, plan);
    QCOMPARE(registers(s), queried);
    QCOMPARE(shown,
             QStringList({"表单中没有生产序号：请先查询参数，站点计划按生产序号选择本机的配置。",
                          "站点计划中没有生产序号为 SN-9 的电台。"}));
    QVERIFY(queried != blank);

    s.modem.setIdentity(SimModem::Identity::SerialNumber, "SN-8");
    s.click("btnQuery");
    drop(s, plan);
    QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));
    QCOMPARE(s.edit("S105")->text(), QStringLiteral("9"));
    QCOMPARE(s.mark("S101"), QStringLiteral("border-color :black ")); // already a slave
    QCOMPARE(shown.size(), 2);
}

// Since the last Clear: each burst on its line, input thrown away unread between operations too;
// the key's characters hidden.
void ProfilesTest::transcript()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.click("btnClear");
    s.modem.sendRaw("noise");
    int saves = 0;
    const auto saved = [&] {
        const QString path = m_dir.filePath(QString("t%1.txt").arg(++saves));
        trigger(s, "actionSaveTranscript", path);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_VERIFY(saved().contains(" < noise")); // thrown away while no operation runs
    s.click("ButtonS105");
    s.edit("S160")->setText("secret1");
    s.click("ButtonS160");
    QTRY_VERIFY(s.modem.sent().endsWith("ATS160=secret1\r\nOK\r\n"));
    const QString transcript = saved();
    const QRegularExpression form("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z " +
                                  QRegularExpression::escape(s.modem.portName().mid(5)) +
                                  " ([<>]) (.*)$");
    QString sent, received;
    for (const QString &line : transcript.split('\n', Qt::SkipEmptyParts)) {
        const auto match = form.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        (match.captured(1) == ">" ? sent : received) += match.captured(2);
    }
    QCOMPARE(sent, QStringLiteral("ATS105=\\rATS160=*******\\r"));
    QCOMPARE(received, QStringLiteral("noiseATS105=\\r\\nERROR\\r\\nATS160=*******\\r\\nOK\\r\\n"));
}

// "Save Profile..." that cannot write its file names the file and the reason, and leaves no file.
void ProfilesTest::saveOntoFullFileSystem()
{
    FullFileSystem full(m_dir.filePath("full"));
    if (!full.problem().isEmpty())
        QSKIP(qPrintable(full.problem()));
    Station s;
    const QString path = m_dir.filePath("full/p.ini");
    QString shown;
    ModalAnswer answer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            shown = box->text();
        else
            modal->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        static_cast<QDialog *>(modal)->accept();
    });
    s.trigger("actionSaveProfile");
    QCOMPARE(shown, QStringLiteral("文件无法保存：\n%1: No space left on device").arg(path));
    QCOMPARE(QDir(m_dir.filePath("full")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"filler"});
}

QTEST_MAIN(ProfilesTest)
#include "tst_profiles.moc"
