#include "simmodem.h"
#include "upgrade.h"

#include <QSerialPort>
#include <QtTest>
#include <QtWidgets>
#include <memory>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

constexpr int Chunk = 241;        // firmware bytes per frame
constexpr int Tolerance = 400;    // milliseconds of slack on measured intervals
constexpr int UpgradeWait = 8000; // milliseconds for a short upgrade to finish
const QByteArray UpdateCommand("\rAT&UP\r");

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Firmware bytes with a step that never spells an AT string.
QByteArray firmware(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 31 + 7);
    return bytes;
}

struct SentFrame
{
    int step;
    int index;
    QByteArray data;
};

// The update frames the modem received after the last update command, split by their
// length bytes.
QList<SentFrame> framesIn(const QByteArray &received)
{
    const int command = received.lastIndexOf(UpdateCommand);
    QByteArray rest = received.mid(command < 0 ? 0 : command + UpdateCommand.size());
    QList<SentFrame> frames;
    while (rest.size() >= 15) {
        const int total = quint8(rest.at(0)) + 3;
        const QByteArray frame = rest.left(total);
        rest.remove(0, total);
        const int step = quint8(frame.at(12));
        if (step != 2) {
            frames << SentFrame{step, 0, {}};
            continue;
        }
        const int index = quint8(frame.at(13)) | quint8(frame.at(14)) << 8;
        frames << SentFrame{step, index, frame.mid(15, total - 17)};
    }
    return frames;
}

// "start", "<index>:<bytes>" per chunk, "end".
QStringList describe(const QList<SentFrame> &frames)
{
    QStringList names;
    for (const SentFrame &frame : frames) {
        if (frame.step == 2)
            names << QString("%1:%2").arg(frame.index).arg(frame.data.size());
        else
            names << (frame.step == 1 ? "start" : "end");
    }
    return names;
}

// Answers the modal windows the dialog opens: a file dialog gets the queued file (or is
// cancelled when none is queued); a message box is noted and closed with its button.
class ModalHandler : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
        int progress;
    };

    explicit ModalHandler(const QProgressBar *progress) : m_progress(progress)
    {
        connect(&m_poll, &QTimer::timeout, this, &ModalHandler::poll);
        m_poll.start(20);
    }

    void queueFile(const QString &path) { m_file = path; }

    // Waits in a real event loop: the sleeps between QTRY's rounds would slow the exchange.
    bool waitForBoxes(int count, int timeout)
    {
        QSignalSpy answered(this, &ModalHandler::boxAnswered);
        QDeadlineTimer deadline(timeout);
        while (boxes.size() < count)
            if (!answered.wait(int(deadline.remainingTime())))
                return false;
        return true;
    }

    QList<Box> boxes;
    QString offeredFile; // what the last file dialog offered when it opened

signals:
    void boxAnswered();

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        m_last = modal;
        if (auto *files = qobject_cast<QFileDialog *>(modal))
            answerFiles(files);
        else if (auto *box = qobject_cast<QMessageBox *>(modal))
            answerBox(box);
    }

    // The widget file dialog takes a name from its line edit, as when the operator types it.
    void answerFiles(QFileDialog *files)
    {
        auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        offeredFile = files->directory().filePath(name->text());
        if (m_file.isEmpty()) {
            files->reject();
            return;
        }
        name->setText(m_file);
        static_cast<QDialog *>(files)->accept();
        m_file.clear();
    }

    void answerBox(QMessageBox *box)
    {
        boxes << Box{box->windowTitle(), box->text(), m_progress->value()};
        box->button(QMessageBox::Ok)->click();
        emit boxAnswered();
    }

    const QProgressBar *m_progress;
    QTimer m_poll;
    QPointer<QWidget> m_last;
    QString m_file;
};

} // namespace

class UpgradeDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void upgradesFromDataMode();
    void chunking_data();
    void chunking();
    void largeImageArrivesIntact();
    void cancelIgnoresLateAcknowledgement();
    void cancelLetsChunkRunOutOfResends();
    void unansweredRequestFails_data();
    void unansweredRequestFails();
    void rejectedRepliesCountAsAcks_data();
    void rejectedRepliesCountAsAcks();
    void unreadableFile_data();
    void unreadableFile();
    void remembersLastFile();

private:
    QString writeFile(int size);
    void enterAtMode();
    void lendPort();
    void choose(const QString &path);
    void startAfterAnsweredStart();
    void expectIdle();

    template <typename T> T *child(const char *name) const
    {
        return m_dialog->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *updateButton() const { return child<QPushButton>("btnUplaod"); }
    QProgressBar *progress() const { return child<QProgressBar>("progressUpdate"); }
    QString prompt() const { return child<QLabel>("labPromptUpdate")->text(); }

    QString m_previousDir;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimModem> m_modem;
    std::unique_ptr<QSerialPort> m_port;
    std::unique_ptr<upgrade> m_dialog;
    std::unique_ptr<ModalHandler> m_modals;
};

void UpgradeDialogTest::init()
{
    m_previousDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));

    m_modem = std::make_unique<SimModem>();
    QString error;
    QVERIFY2(m_modem->start(&error), qPrintable(error));
    m_port = std::make_unique<QSerialPort>(m_modem->portName());
    m_port->setBaudRate(QSerialPort::Baud9600);
    QVERIFY(m_port->open(QIODevice::ReadWrite));

    m_dialog = std::make_unique<upgrade>(nullptr);
    m_dialog->show();
    m_modals = std::make_unique<ModalHandler>(progress());
}

void UpgradeDialogTest::cleanup()
{
    m_modals.reset();
    m_dialog.reset();
    m_port.reset();
    m_modem.reset();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

QString UpgradeDialogTest::writeFile(int size)
{
    const QString path = m_dir->filePath(QString("fw%1.stz").arg(size));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(firmware(size)) != size)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// As when the operator has entered AT mode in the main window before upgrading.
void UpgradeDialogTest::enterAtMode()
{
    QByteArray answer;
    const auto reading = connect(m_port.get(), &QSerialPort::readyRead, this,
                                 [&answer, this] { answer += m_port->readAll(); });
    m_port->write("+++");
    QTRY_VERIFY(answer.endsWith("OK\r\n"));
    disconnect(reading);
    m_modem->clearReceived();
}

void UpgradeDialogTest::lendPort()
{
    m_dialog->SetSerialPort(m_port.get());
}

void UpgradeDialogTest::choose(const QString &path)
{
    m_modals->queueFile(path);
    child<QPushButton>("btnUpdatefile")->click();
    QCOMPARE(child<QPushButton>("btnUpdatefile")->text(), path);
}

// Lets UPDATE_START through, then hands every later acknowledgement to the test's fault:
// the start acknowledgement is held back long enough to set it.
void UpgradeDialogTest::startAfterAnsweredStart()
{
    m_modem->setLateReplyDelay(300);
    m_modem->setFault(SimModem::Fault::UpdateLate, 1);
    updateButton()->click();
    QTRY_COMPARE(m_modem->updateRequests(1), 1);
}

void UpgradeDialogTest::expectIdle()
{
    QCOMPARE(updateButton()->text(), text("升级"));
    QCOMPARE(updateButton()->styleSheet(), QString("color: white"));
    QCOMPARE(progress()->value(), 0);
    QCOMPARE(prompt(), QString());
}

void UpgradeDialogTest::upgradesFromDataMode()
{
    const QString path = writeFile(500);
    lendPort();
    choose(path);
    QList<int> shown;
    connect(progress(), &QProgressBar::valueChanged, this, [&shown](int value) { shown << value; });
    QElapsedTimer clock;
    clock.start();

    updateButton()->click();
    QCOMPARE(updateButton()->text(), text("取消"));
    QCOMPARE(updateButton()->styleSheet(), QString("color: red"));
    QCOMPARE(progress()->maximum(), 500);
    QCOMPARE(progress()->value(), 0);
    QVERIFY(m_modals->waitForBoxes(1, UpgradeWait));

    // The modem ignored the first update command in data mode, took "+++" 2 s later and
    // announced its update mode on the second update command 2 s after that.
    QVERIFY(clock.elapsed() >= 4000);
    QVERIFY(m_modem->received().startsWith(UpdateCommand + "+++" + UpdateCommand));
    const QList<SentFrame> frames = framesIn(m_modem->received());
    QCOMPARE(describe(frames), QStringList({"start", "0:241", "1:241", "2:18", "end"}));
    const QByteArray image = firmware(500);
    QCOMPARE(frames.at(1).data + frames.at(2).data + frames.at(3).data, image);
    QCOMPARE(m_modem->image(), image);

    const ModalHandler::Box box = m_modals->boxes.first();
    QCOMPARE(box.title, text("升级成功"));
    QCOMPARE(box.text, text("升级成功，请重启设置！！"));
    QCOMPARE(box.progress, 500);
    QCOMPARE(shown, QList<int>({241, 482, 500, 0}));
    expectIdle();
}

void UpgradeDialogTest::chunking_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty file") << 0 << QStringList{"start", "0:0", "end"};
    QTest::newRow("two whole chunks")
        << 482 << QStringList{"start", "0:241", "1:241", "2:0", "end"};
}

void UpgradeDialogTest::chunking()
{
    QFETCH(int, size);
    QFETCH(QStringList, expected);
    enterAtMode();
    lendPort();
    choose(writeFile(size));
    updateButton()->click();
    QVERIFY(m_modals->waitForBoxes(1, UpgradeWait));
    QCOMPARE(m_modals->boxes.first().title, text("升级成功"));
    QCOMPARE(describe(framesIn(m_modem->received())), expected);
    QCOMPARE(m_modem->image(), firmware(size));
    expectIdle();
}

void UpgradeDialogTest::largeImageArrivesIntact()
{
    constexpr int Size = 200 * 1024; // bytes
    m_port->setBaudRate(QSerialPort::Baud115200);
    enterAtMode();
    lendPort();
    choose(writeFile(Size));
    QElapsedTimer clock;
    clock.start();
    updateButton()->click();
    QVERIFY(m_modals->waitForBoxes(1, 60000));
    qInfo("%d bytes in %lld ms", Size, clock.elapsed());
    QCOMPARE(m_modals->boxes.first().title, text("升级成功"));
    QCOMPARE(m_modem->updateRequests(2), (Size + Chunk - 1) / Chunk);
    QCOMPARE(m_modem->image(), firmware(Size));
}

// Cancelling leaves the chunk in flight to its timer: its acknowledgement is only logged.
void UpgradeDialogTest::cancelIgnoresLateAcknowledgement()
{
    enterAtMode();
    lendPort();
    choose(writeFile(2000));
    m_modem->setLateReplyDelay(400);
    m_modem->setFault(SimModem::Fault::UpdateLate);
    updateButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_modem->updateRequests(2), 1, 3000);

    QTest::ignoreMessage(QtDebugMsg, "UPDATE_LOADING error  status= 0");
    updateButton()->click();
    expectIdle();
    QSignalSpy written(m_port.get(), &QSerialPort::bytesWritten);
    const QByteArray chunkAck = QByteArray::fromHex("12 34 00 08 01 02");
    QTRY_COMPARE(m_modem->sent().count(chunkAck), 1);
    QVERIFY(!written.wait(1500));
    QCOMPARE(m_modem->updateRequests(2), 1);
    QCOMPARE(m_modem->updateRequests(3), 0);
    QVERIFY(m_modals->boxes.isEmpty());
}

// Unanswered after a cancel, the chunk in flight is still re-sent, but running out of
// re-sends no longer counts as a failed upgrade.
void UpgradeDialogTest::cancelLetsChunkRunOutOfResends()
{
    enterAtMode();
    lendPort();
    choose(writeFile(2000));
    startAfterAnsweredStart();
    m_modem->setFault(SimModem::Fault::UpdateNoAnswer);
    QTRY_COMPARE(m_modem->updateRequests(2), 1);

    updateButton()->click();
    expectIdle();
    QTest::ignoreMessage(QtDebugMsg, "RECV TIMEOUT");
    QTRY_COMPARE_WITH_TIMEOUT(m_modem->updateRequests(2), 3, 2000 + Tolerance);
    QSignalSpy written(m_port.get(), &QSerialPort::bytesWritten);
    QVERIFY(!written.wait(1000 + Tolerance));
    QCOMPARE(describe(framesIn(m_modem->received())),
             QStringList({"start", "0:241", "0:241", "0:241"}));
    QVERIFY(m_modals->boxes.isEmpty());
}

void UpgradeDialogTest::unansweredRequestFails_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("failsAfter"); // milliseconds from the first write
    QTest::addColumn<int>("progressKept");
    QTest::newRow("start") << 1 << 2 << 20000 << 0;
    QTest::newRow("first chunk") << 2 << 3 << 3000 << 0;
}

void UpgradeDialogTest::unansweredRequestFails()
{
    QFETCH(int, step);
    QFETCH(int, writes);
    QFETCH(int, failsAfter);
    QFETCH(int, progressKept);
    enterAtMode();
    lendPort();
    choose(writeFile(500));
    if (step == 1)
        updateButton()->click();
    else
        startAfterAnsweredStart();
    m_modem->setFault(SimModem::Fault::UpdateNoAnswer);
    QTRY_COMPARE_WITH_TIMEOUT(m_modem->updateRequests(step), 1, 2000);
    QElapsedTimer clock;
    clock.start();

    QVERIFY(m_modals->waitForBoxes(1, failsAfter + 2 * Tolerance));
    const qint64 elapsed = clock.elapsed();
    qInfo("failure box after %lld ms", elapsed);
    QVERIFY(qAbs(elapsed - failsAfter) < Tolerance);
    QCOMPARE(m_modem->updateRequests(step), writes);
    QCOMPARE(m_modals->boxes.first().title, text("升级失败"));
    QCOMPARE(m_modals->boxes.first().text, text("升级失败，请检查！！"));

    // The dialog shows where it stopped until the operator presses the button.
    QCOMPARE(prompt(), text("升级失败"));
    QCOMPARE(updateButton()->text(), text("取消"));
    QCOMPARE(updateButton()->styleSheet(), QString("color: red"));
    QCOMPARE(progress()->value(), progressKept);
    updateButton()->click();
    expectIdle();
}

void UpgradeDialogTest::rejectedRepliesCountAsAcks_data()
{
    QTest::addColumn<SimModem::Fault>("fault");
    QTest::newRow("bad crc") << SimModem::Fault::UpdateBadCrc;
    QTest::newRow("refusal flag") << SimModem::Fault::UpdateFlagError;
}

// The first three spoiled acknowledgements move on to the next chunk; the fourth is only
// logged, and the frame timer re-sends its chunk a second later.
void UpgradeDialogTest::rejectedRepliesCountAsAcks()
{
    QFETCH(SimModem::Fault, fault);
    constexpr int Size = 1300; // bytes: chunks 0 to 5
    enterAtMode();
    lendPort();
    choose(writeFile(Size));
    for (int i = 0; i < 4; ++i)
        QTest::ignoreMessage(QtDebugMsg, "RECV ERROR");
    startAfterAnsweredStart();
    m_modem->setFault(fault, 4);

    QVERIFY(m_modals->waitForBoxes(1, UpgradeWait));
    QCOMPARE(m_modals->boxes.first().title, text("升级成功"));
    QCOMPARE(describe(framesIn(m_modem->received())),
             QStringList(
                 {"start", "0:241", "1:241", "2:241", "3:241", "3:241", "4:241", "5:95", "end"}));
    QCOMPARE(m_modem->image(), firmware(Size));
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
    lendPort();
    if (chosen) {
        const QString path = writeFile(500);
        choose(path);
        QVERIFY(QFile::remove(path));
    }
    QTest::ignoreMessage(QtDebugMsg, "Can't open the file!");
    updateButton()->click();
    QCOMPARE(m_modals->boxes.size(), 1);
    QCOMPARE(m_modals->boxes.first().title, text("文件错误"));
    QCOMPARE(m_modals->boxes.first().text, text("文件错误，请检查！！"));
    QCOMPARE(updateButton()->text(), text("升级"));
    QCOMPARE(prompt(), QString());
    QSignalSpy written(m_port.get(), &QSerialPort::bytesWritten);
    QVERIFY(!written.wait(300));
    QVERIFY(m_modem->received().isEmpty());
}

void UpgradeDialogTest::remembersLastFile()
{
    const QString path = writeFile(500);
    choose(path);
    QVERIFY(QFile::exists(m_dir->filePath("Setting.ini")));
    QCOMPARE(QSettings("Setting.ini", QSettings::IniFormat).value("LastFilePath").toString(), path);

    // A dialog opened later offers the same file; cancelling its choice changes nothing.
    m_modals.reset();
    m_dialog = std::make_unique<upgrade>(nullptr);
    m_modals = std::make_unique<ModalHandler>(progress());
    auto *fileButton = child<QPushButton>("btnUpdatefile");
    fileButton->click();
    QCOMPARE(m_modals->offeredFile, path);
    QCOMPARE(fileButton->text(), text("选择升级文件"));
    QCOMPARE(QSettings("Setting.ini", QSettings::IniFormat).value("LastFilePath").toString(), path);
}

QTEST_MAIN(UpgradeDialogTest)
#include "tst_upgradedialog.moc"
