#include "modalanswer.h"
#include "simmodem.h"
#include "upgrade.h"
#include "upgradeengine.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>
#include <memory>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

constexpr int Tolerance = 400;     // milliseconds of slack on measured intervals
constexpr int UpgradeWait = 30000; // milliseconds a short upgrade may take, at the most
const QByteArray UpdateCommand("\rAT&UP\r");

// Firmware bytes with a step that never spells an AT string.
QByteArray firmware(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 31 + 7);
    return bytes;
}

// The update frames the modem received after the last update command, split by their length
// bytes: "start", "<index>:<bytes>" per chunk, "end".
QStringList framesIn(const QByteArray &received)
{
    const int command = received.lastIndexOf(UpdateCommand);
    QByteArray rest = received.mid(command < 0 ? 0 : command + UpdateCommand.size());
    QStringList frames;
    while (rest.size() >= 15) {
        const int total = quint8(rest.at(0)) + 3;
        const int step = quint8(rest.at(12));
        const int index = quint8(rest.at(13)) | quint8(rest.at(14)) << 8;
        if (step == 2)
            frames << QString("%1:%2").arg(index).arg(total - 17);
        else
            frames << (step == 1 ? "start" : "end");
        rest.remove(0, total);
    }
    return frames;
}

// A message box as the tests note it: title, text and the progress shown behind it.
QString box(const QString &title, const QString &message, int progress)
{
    return title + " | " + message + " | " + QString::number(progress);
}

} // namespace

class UpgradeDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); } // ./Setting.ini stays here
    void init();
    void cleanup();
    void upgrades_data();
    void upgrades();
    void cancelWhileLoading_data();
    void cancelWhileLoading();
    void unansweredRequestFails_data();
    void unansweredRequestFails();
    void unreadableFile_data();
    void unreadableFile();
    void remembersLastFile();

private:
    void answer(QWidget *modal);
    void prepare(int size, bool dataMode = false);
    QString choose(int size);
    void startAfterAnsweredStart(SimModem::Fault fault, int times = -1);
    void expectIdle();

    template <typename T> T *child(const char *name) const
    {
        return m_dialog->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *updateButton() const { return child<QPushButton>("btnUplaod"); }
    QProgressBar *progress() const { return child<QProgressBar>("progressUpdate"); }
    QString prompt() const { return child<QLabel>("labPromptUpdate")->text(); }

    QTemporaryDir m_dir;
    std::unique_ptr<SimModem> m_modem;
    std::unique_ptr<QSerialPort> m_port;
    std::unique_ptr<upgrade> m_dialog;
    std::unique_ptr<ModalAnswer> m_modals;
    QString m_file;      // given to the next file dialog; none: the choice is cancelled
    QString m_offered;   // what the last file dialog offered when it opened
    QStringList m_boxes; // each message box answered, as box() writes it
};

void UpgradeDialogTest::init()
{
    m_modem = std::make_unique<SimModem>();
    QVERIFY(m_modem->start());
    m_port = std::make_unique<QSerialPort>(m_modem->portName());
    m_port->setBaudRate(QSerialPort::Baud9600);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    m_dialog = std::make_unique<upgrade>(nullptr);
    m_dialog->show();
    m_boxes.clear();
    m_modals = std::make_unique<ModalAnswer>([this](QWidget *modal) { answer(modal); });
}

void UpgradeDialogTest::cleanup()
{
    m_modals.reset();
    m_dialog.reset();
    m_port.reset();
    m_modem.reset();
}

// The widget file dialog takes a name typed into its line edit; a message box is noted with
// the progress shown behind it and closed.
void UpgradeDialogTest::answer(QWidget *modal)
{
    if (auto *message = qobject_cast<QMessageBox *>(modal)) {
        m_boxes << box(message->windowTitle(), message->text(), progress()->value());
        message->button(QMessageBox::Ok)->click();
    } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
        auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        m_offered = files->directory().filePath(name->text());
        name->setText(m_file);
        if (m_file.isEmpty())
            files->reject();
        else
            static_cast<QDialog *>(files)->accept();
        m_file.clear();
    }
}

// The port lent to the dialog and a firmware file of `size` bytes chosen; the modem put into
// AT mode (as the main window leaves it) unless it stays in `dataMode`.
void UpgradeDialogTest::prepare(int size, bool dataMode)
{
    if (!dataMode) {
        QByteArray answer;
        m_port->write("+++");
        QTRY_VERIFY((answer += m_port->readAll()).endsWith("OK\r\n"));
        m_modem->clearReceived();
    }
    m_dialog->SetSerialPort(m_port.get());
    choose(size);
}

// Writes a firmware file of `size` bytes and chooses it in the file dialog.
QString UpgradeDialogTest::choose(int size)
{
    m_file = m_dir.filePath(QString("fw%1.stz").arg(size));
    QFile file(m_file);
    if (!file.open(QIODevice::WriteOnly) || file.write(firmware(size)) != size)
        qFatal("cannot write %s", qPrintable(m_file));
    file.close();
    child<QPushButton>("btnUpdatefile")->click();
    return child<QPushButton>("btnUpdatefile")->text();
}

// Lets UPDATE_START through, then hands every later acknowledgement to `fault`: the start
// acknowledgement is held back until the fault is set.
void UpgradeDialogTest::startAfterAnsweredStart(SimModem::Fault fault, int times)
{
    m_modem->setLateReplyDelay(SimModem::UntilNextCommand);
    m_modem->setFault(SimModem::Fault::UpdateLate, 1);
    updateButton()->click();
    QTRY_COMPARE(m_modem->updateRequests(1), 1);
    m_modem->setFault(fault, times);
    m_modem->releaseHeldReplies();
}

void UpgradeDialogTest::expectIdle()
{
    QCOMPARE(updateButton()->text(), QStringLiteral("升级"));
    QCOMPARE(updateButton()->styleSheet(), QString("color: white"));
    QCOMPARE(progress()->value(), 0);
    QCOMPARE(prompt(), QString());
}

void UpgradeDialogTest::upgrades_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("dataMode");
    QTest::addColumn<int>("spoiled"); // acknowledgements after the start's that arrive spoiled
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QList<int>>("bar"); // the values the progress bar takes
    QTest::newRow("500 bytes from data mode")
        << 500 << true << 0 << QStringList{"start", "0:241", "1:241", "2:18", "end"}
        << QList<int>{241, 482, 500, 0};
    QTest::newRow("empty file") << 0 << false << 0 << QStringList{"start", "0:0", "end"}
                                << QList<int>{};
    QTest::newRow("two whole chunks")
        << 482 << false << 0 << QStringList{"start", "0:241", "1:241", "2:0", "end"}
        << QList<int>{241, 482, 0};
    // The first three spoiled acknowledgements move on to the next chunk; the fourth is only
    // logged, and the frame timer re-sends its chunk a second later.
    QTest::newRow("four spoiled acknowledgements")
        << 1300 << false << 4
        << QStringList{"start", "0:241", "1:241", "2:241", "3:241", "3:241", "4:241", "5:95", "end"}
        << QList<int>{241, 482, 723, 964, 1205, 1300, 0};
}

void UpgradeDialogTest::upgrades()
{
    QFETCH(int, size);
    QFETCH(bool, dataMode);
    QFETCH(int, spoiled);
    QFETCH(QStringList, frames);
    QFETCH(QList<int>, bar);
    prepare(size, dataMode);
    QList<int> shown;
    connect(progress(), &QProgressBar::valueChanged, this, [&shown](int value) { shown << value; });
    QStringList prompts;
    connect(m_dialog->findChild<UpgradeEngine *>(), &UpgradeEngine::promptChanged, this,
            [&prompts, this] { prompts << prompt(); });
    QElapsedTimer clock;
    clock.start();

    for (int i = 0; i < spoiled; ++i)
        QTest::ignoreMessage(QtDebugMsg, "RECV ERROR");
    if (spoiled > 0) {
        startAfterAnsweredStart(SimModem::Fault::UpdateBadCrc, spoiled);
    } else {
        updateButton()->click();
    }
    QCOMPARE(updateButton()->text(), QStringLiteral("取消"));
    QCOMPARE(updateButton()->styleSheet(), QString("color: red"));
    QCOMPARE(progress()->maximum(), size);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, UpgradeWait);
    QCOMPARE(m_boxes.first(), box("升级成功", "升级成功，请重启设置！！", size));

    // In data mode the modem ignores the first update command, takes "+++" 2 s later and
    // announces its update mode on the second update command 2 s after that.
    const QByteArray received = m_modem->received();
    QCOMPARE(received.left(received.indexOf('\x0C')),
             dataMode ? UpdateCommand + "+++" + UpdateCommand : UpdateCommand);
    QVERIFY(!dataMode || clock.elapsed() >= 4000);
    QCOMPARE(framesIn(received), frames);
    QCOMPARE(m_modem->image(), firmware(size));
    QCOMPARE(shown, bar);
    QStringList expectedPrompts(QStringLiteral("进入AT升级模式"));
    if (dataMode)
        expectedPrompts << QStringLiteral("进入AT升级模式");
    expectedPrompts << QStringLiteral("准备升级，请等待");
    QStringList chunks = frames; // a re-sent chunk is not announced again
    chunks.removeDuplicates();
    for (int chunk = 0; chunk < chunks.size() - 2; ++chunk)
        expectedPrompts << QStringLiteral("固件加载中...");
    expectedPrompts << QStringLiteral("固件更新中，请不要断电") << QStringLiteral("升级成功");
    QCOMPARE(prompts, expectedPrompts);
    expectIdle();
}

void UpgradeDialogTest::cancelWhileLoading_data()
{
    QTest::addColumn<SimModem::Fault>("fault");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QStringList>("frames");
    QTest::newRow("acknowledged late")
        << SimModem::Fault::UpdateLate << "UPDATE_LOADING error  status= 0"
        << QStringList{"start", "0:241"};
    QTest::newRow("never acknowledged") << SimModem::Fault::UpdateNoAnswer << "RECV TIMEOUT"
                                        << QStringList{"start", "0:241", "0:241", "0:241"};
}

// Cancelling leaves the chunk in flight to its timer: a late acknowledgement is only logged;
// unanswered, the chunk is still re-sent, but running out of re-sends is no failed upgrade.
void UpgradeDialogTest::cancelWhileLoading()
{
    QFETCH(SimModem::Fault, fault);
    QFETCH(QString, logged);
    QFETCH(QStringList, frames);
    prepare(2000);
    startAfterAnsweredStart(fault);
    QTRY_COMPARE(m_modem->updateRequests(2), 1);

    QTest::ignoreMessage(QtDebugMsg, qPrintable(logged));
    updateButton()->click();
    expectIdle();
    m_modem->releaseHeldReplies(); // a late acknowledgement arrives after the cancel
    QTRY_COMPARE_WITH_TIMEOUT(m_modem->updateRequests(2), frames.size() - 1, UpgradeWait);
    QSignalSpy written(m_port.get(), &QSerialPort::bytesWritten);
    QVERIFY(!written.wait(1000 + Tolerance));
    QCOMPARE(framesIn(m_modem->received()), frames);
    QVERIFY(m_boxes.isEmpty());
}

void UpgradeDialogTest::unansweredRequestFails_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("failsAfter"); // milliseconds from the first write
    QTest::newRow("start") << 1 << 2 << 20000;
    QTest::newRow("first chunk") << 2 << 3 << 3000;
}

void UpgradeDialogTest::unansweredRequestFails()
{
    QFETCH(int, step);
    QFETCH(int, writes);
    QFETCH(int, failsAfter);
    prepare(500);
    if (step == 1) {
        m_modem->setFault(SimModem::Fault::UpdateNoAnswer);
        updateButton()->click();
    } else {
        startAfterAnsweredStart(SimModem::Fault::UpdateNoAnswer);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_modem->updateRequests(step), 1, 2000);
    QElapsedTimer clock;
    clock.start();

    QTRY_COMPARE_WITH_TIMEOUT(m_boxes.size(), 1, 2 * failsAfter + UpgradeWait);
    qInfo("failure box after %lld ms", clock.elapsed());
    QVERIFY(clock.elapsed() > failsAfter - Tolerance); // never gives up early
    QCOMPARE(m_modem->updateRequests(step), writes);
    QCOMPARE(m_boxes.first(), box("升级失败", "升级失败，请检查！！", 0));

    // The dialog shows where it stopped until the operator presses the button.
    QCOMPARE(prompt(), QStringLiteral("升级失败"));
    QCOMPARE(updateButton()->text(), QStringLiteral("取消"));
    updateButton()->click();
    expectIdle();
}

void UpgradeDialogTest::unreadableFile_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("nothing chosen") << false;
    QTest::newRow("file removed") << true;
}

void UpgradeDialogTest::unreadableFile()
{
    QFETCH(bool, chosen);
    if (chosen) {
        prepare(500, true);
        QVERIFY(QFile::remove(child<QPushButton>("btnUpdatefile")->text()));
    } else {
        m_dialog->SetSerialPort(m_port.get());
    }
    QTest::ignoreMessage(QtDebugMsg, "Can't open the file!");
    updateButton()->click();
    QCOMPARE(m_boxes, QStringList(box("文件错误", "文件错误，请检查！！", 0)));
    QCOMPARE(updateButton()->text(), QStringLiteral("升级"));
    QCOMPARE(prompt(), QString());
    QSignalSpy written(m_port.get(), &QSerialPort::bytesWritten);
    QVERIFY(!written.wait(300));
    QVERIFY(m_modem->received().isEmpty());
}

// The chosen file is remembered; a dialog opened later offers it, and cancelling its choice
// changes nothing.
void UpgradeDialogTest::remembersLastFile()
{
    const QString path = choose(500);
    QCOMPARE(path, m_dir.filePath("fw500.stz"));
    m_dialog = std::make_unique<upgrade>(nullptr);
    child<QPushButton>("btnUpdatefile")->click();
    QCOMPARE(m_offered, path);
    QCOMPARE(child<QPushButton>("btnUpdatefile")->text(), QStringLiteral("选择升级文件"));
    QCOMPARE(QSettings("Setting.ini", QSettings::IniFormat).value("LastFilePath").toString(), path);
}

QTEST_MAIN(UpgradeDialogTest)
#include "tst_upgradedialog.moc"
