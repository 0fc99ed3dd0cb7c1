#include "at.h"

#include "applog.h"
#include "atcommands.h"
#include "atform.h"
#include "atsession.h"
#include "init.h"
#include "mainframe.h"
#include "newcombobox.h"
#include "portlist.h"
#include "portsettings.h"
#include "presets.h"
#include "registercatalog.h"
#include "registervalues.h"
#include "replymarkers.h"
#include "replyparser.h"
#include "replywait.h"
#include "uihelper.h"
#include "upgrade.h"
#include "version.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>

namespace {
constexpr int StatusClearDelay = 2000;  // milliseconds
constexpr int LogKeep = 200000;         // characters: the traffic log's newest text kept
constexpr int IdleDiscardPeriod = 1000; // milliseconds between discards of unasked-for input

// The window's replies: complete at "OK\r\n" anywhere, even as the end of a value, and never
// capped in size; each within DeviceConstants::TotalLimit.
AtSession::Waits windowWaits(int silentPeriods)
{
    AtSession::Waits waits;
    waits.silentPeriods = silentPeriods;
    waits.completion = ReplyParser::Completion::Anywhere;
    waits.maxSize = 0;
    return waits;
}
} // namespace

AT::AT(QWidget *parent) : QMainWindow(parent), ui(new AtForm)
{
    m_portsAtStart = std::async(std::launch::async, PortList::availablePorts);
    ui->setupUi(this);
    initSession();
    initForm();
    system_init();
    initUart();
    initActions();
}

AT::~AT()
{
    delete ui;
}

void AT::initSession()
{
    session = std::make_unique<AtSession>(uartLine);
}

bool AT::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->widgetTitle && event->type() == QEvent::MouseButtonDblClick) {
        on_btnMenu_Max_clicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void AT::initForm()
{
    MainFrame::apply(this,
                     {ui->widgetTitle, ui->labIco, ui->labTitle, ui->btnMenu_Min, ui->btnMenu_Max,
                      ui->btnMenu_Close},
                     tr("DR58 AT配置平台") + QStringLiteral("V" DR58_VERSION));
    initSystemData();
    ui->UartComBaud->setCurrentIndex(1);
}

void AT::on_btnMenu_Min_clicked()
{
    showMinimized();
}

void AT::on_btnMenu_Max_clicked()
{
    if (maximised) {
        setGeometry(normalGeometry);
    } else {
        normalGeometry = geometry();
        setGeometry(UiHelper::screenRect(true));
    }
    setProperty("canMove", maximised);
    maximised = !maximised;
}

void AT::on_btnMenu_Close_clicked()
{
    close();
}

void AT::ClearStatusTimeOne(int time)
{
    const auto type = time >= 2000 ? Qt::CoarseTimer : Qt::PreciseTimer;
    QTimer::singleShot(time, type, this, [this] { ui->statusbar->clearMessage(); });
}

void AT::system_init()
{
    connect(ui->btnQuery, &QPushButton::clicked, this, &AT::QueryAT);
    connect(ui->btnSave, &QPushButton::clicked, this, &AT::SaveAT);
    connect(ui->btnEnterAT, &QPushButton::clicked, this, &AT::EnterAT);
    connect(ui->btnExitAT, &QPushButton::clicked, this, &AT::ExitAT);
    connect(ui->btnClear, &QPushButton::clicked, this, &AT::ClearTextBrowser);
    connect(ui->btnInit, &QPushButton::clicked, this, &AT::UIInitExec);
    connect(ui->btnUpdate, &QPushButton::clicked, this, &AT::Upgrade);
    const QIcon pencil(QStringLiteral("://images/xiezi.png"));
    for (QPushButton *button : ui->registers.writeButtons()) {
        connect(button, &QPushButton::clicked, this, &AT::SetATCmd);
        button->setIcon(pencil);
    }
    for (QLineEdit *edit : ui->registers.edits())
        connect(edit, &QLineEdit::textChanged, this, &AT::EditChange);
    for (QComboBox *box : ui->registers.boxes())
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &AT::BoxChange);
    busy = false;
}

void AT::FlushUartCom()
{
    showPorts(PortList::availablePorts());
}

void AT::showPorts(const QStringList &ports)
{
    ui->UartCom->clear();
    ui->UartCom->addItems(ports);
}

void AT::initUart()
{
    showPorts(m_portsAtStart.get());
    ui->btnUart->setStyleSheet(QStringLiteral("color: white"));
    connect(ui->UartComBaud, QOverload<int>::of(&QComboBox::activated), this, &AT::SetUartBaud);
    connect(ui->btnUart, &QPushButton::clicked, this, &AT::OpenUart);
    auto *idleInput = new QTimer(this);
    connect(idleInput, &QTimer::timeout, this, [this] { discardIdleInput(); });
    idleInput->start(IdleDiscardPeriod);
}

// Nothing reads the port between operations, so what a talking modem sends then would pile up
// in the port's buffer for as long as the window runs. It is thrown away, as the next command
// would throw it away; never while an operation or a wait runs.
void AT::discardIdleInput()
{
    if (!busy && !waiting && uart.isOpen()) {
        uartLine.discardInput();
    }
}

void AT::showPortStatus(const QString &message, const char *colour)
{
    ui->statusbar->showMessage(message);
    ui->statusbar->setStyleSheet(QLatin1String(colour));
    ClearStatusTimeOne(StatusClearDelay);
}

void AT::OpenUart()
{
    if (ui->UartCom->count() == 0) {
        FlushUartCom();
        return;
    }
    const QString name = ui->UartCom->currentText();
    if (ui->btnUart->text() != tr("打开")) {
        uart.close();
        ui->btnUart->setText(tr("打开"));
        ui->btnUart->setStyleSheet(QStringLiteral("color: white"));
        showPortStatus(QStringLiteral("%1 closed").arg(name), "color:red");
        return;
    }
    uart.setPortName(name);
    PortSettings{ui->UartComBaud->currentText().toInt(nullptr, 10)}.apply(uart);
    if (!uart.open(QIODevice::ReadWrite)) {
        UiHelper::showInfoBox(QStringLiteral("%1 open err").arg(name));
        FlushUartCom();
        return;
    }
    showPortStatus(QStringLiteral("%1 open,%2,8N1").arg(name).arg(uart.baudRate()), "color:white");
    ui->btnUart->setText(tr("关闭"));
    ui->btnUart->setStyleSheet(QStringLiteral("color: red"));
}

void AT::SetUartBaud()
{
    if (uart.isOpen())
        uart.setBaudRate(ui->UartComBaud->currentText().toInt(nullptr, 10),
                         QSerialPort::AllDirections);
}

void AT::ClearTextBrowser()
{
    ui->textBrowser->clear();
}

// The log keeps the newest LogKeep characters (up to twice that between trims), so a modem
// that talks for hours does not grow it without end.
void AT::appendLog(const QString &text)
{
    ui->textBrowser->insertPlainText(text.right(LogKeep));
    QTextDocument *log = ui->textBrowser->document();
    if (log->characterCount() > 2 * LogKeep) {
        QTextCursor oldest(log);
        oldest.setPosition(log->characterCount() - LogKeep, QTextCursor::KeepAnchor);
        oldest.removeSelectedText();
    }
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void AT::SendUartData(QString cmd)
{
    if (!uart.isOpen()) {
        appendLog(tr("串口未打开") + QStringLiteral("\r\n"));
        return;
    }
    appendLog(QStringLiteral("send: ") + cmd);
    qCDebug(lcApp) << cmd;
    session->send(cmd);
    RecvData.clear();
}

bool AT::WaiteRecvData(int wait_num, int flag)
{
    const QScopedValueRollback<bool> inWait(waiting, true);
    const ReplyWait::Outcome outcome = session->receive(windowWaits(wait_num));
    RecvData = session->reply();
    if (RecvData.isEmpty())
        return false;
    appendLog(ReplyParser::toText(RecvData));
    if (outcome == ReplyWait::Outcome::Cut)
        return false;
    if (flag == 1)
        return RecvData.contains(ReplyMarkers::Greeting);
    return receive_Uartdata();
}

template <typename Operation> void AT::guarded(QPushButton *button, Operation operation)
{
    if (busy)
        return;
    busy = true;
    if (button)
        button->setEnabled(false);
    operation();
    if (button)
        button->setEnabled(true);
    busy = false;
}

void AT::EnterAT()
{
    guarded(ui->btnEnterAT, [this] {
        SendUartData(AtCommands::Escape);
        appendLog(QStringLiteral("\r\n"));
        if (WaiteRecvData(AtCommands::EnterWaits, 1))
            initSystemData();
    });
}

void AT::ExitAT()
{
    guarded(ui->btnExitAT, [this] {
        SendUartData(AtCommands::DataMode);
        WaiteRecvData(AtCommands::ExitWaits, 0);
        initSystemData();
    });
}

void AT::SaveAT()
{
    guarded(ui->btnSave, [this] {
        SendUartData(AtCommands::Store);
        WaiteRecvData(AtCommands::StoreWaits, 0);
    });
}

void AT::QueryAT()
{
    guarded(ui->btnQuery, [this] {
        SendUartData(AtCommands::Listing);
        if (WaiteRecvData(AtCommands::ListingWaits, 0)) {
            for (const QString &query : AtCommands::SingleQueries) {
                SendUartData(query);
                WaiteRecvData(AtCommands::SingleQueryWaits, 0);
            }
        }
    });
}

bool AT::receive_Uartdata()
{
    if (!ReplyParser::isComplete(RecvData))
        return false;
    qCDebug(lcApp) << "check OK";
    if (ReplyParser::isListing(RecvData))
        fillFromListing();
    else
        fillFromSingleAnswer();
    return true;
}

void AT::fillFromListing()
{
    qCDebug(lcApp) << "check AT&V";
    for (QLineEdit *edit : ui->registers.edits()) {
        const QString name = edit->objectName();
        const auto value = RegisterValues::listedRaw(name, RecvData);
        if (!value) {
            if (!RegisterValues::isIdentity(name))
                qCDebug(lcApp) << "not found" << name;
            continue;
        }
        showValue(edit, ReplyParser::toText(*value));
    }
    for (QComboBox *box : ui->registers.boxes()) {
        const QString name = box->objectName();
        ui->registers.mark(name, FieldState::Clean);
        const auto value = RegisterValues::listedRaw(name, RecvData);
        if (!value) {
            qCDebug(lcApp) << "not found" << name;
            continue;
        }
        box->setCurrentIndex(RegisterValues::choiceIndex(name, *value));
    }
}

// The clean mark follows the text at once, so the edited mark that the new text would set in
// between is skipped: the operator never sees it.
void AT::showValue(QLineEdit *edit, const QString &value)
{
    {
        const QSignalBlocker quiet(edit);
        edit->setText(value);
    }
    edit->setCursorPosition(0); // long values show their beginning
    ui->registers.mark(edit->objectName(), FieldState::Clean);
}

void AT::fillFromSingleAnswer()
{
    const auto answer = ReplyParser::singleAnswer(RecvData);
    if (!answer)
        return;
    const QString name = QString::fromLatin1(answer->name);
    if (QLineEdit *edit = ui->registers.edit(name))
        showValue(edit, ReplyParser::toText(answer->value));
    if (QComboBox *box = ui->registers.box(name))
        box->setCurrentIndex(RegisterValues::choiceIndex(name, answer->value));
}

void AT::initSystemData()
{
    for (QComboBox *box : ui->registers.boxes())
        box->setCurrentIndex(-1);
    for (QLineEdit *edit : ui->registers.edits())
        edit->clear();
    ui->registers.markAll(FieldState::Clean);
}

void AT::EditChange()
{
    if (auto *edit = qobject_cast<QLineEdit *>(sender()))
        ui->registers.mark(edit->objectName(), FieldState::Edited);
}

void AT::BoxChange()
{
    if (auto *box = qobject_cast<QComboBox *>(sender()))
        ui->registers.mark(box->objectName(), FieldState::Edited);
}

void AT::UIInitExec()
{
    guarded(nullptr, [this] {
        if (const std::optional<int> chosen = init::choose()) {
            SetDevInit(*chosen);
            WaiteRecvData(AtCommands::ResetWaits, 0);
        }
    });
}

void AT::SetDevInit(int index)
{
    SendUartData(AtCommands::resetCommand(Presets::codeForIndex(index)));
}

void AT::Upgrade()
{
    guarded(nullptr, [this] {
        auto *dialog = new upgrade(nullptr);
        dialog->SetSerialPort(&uart);
        dialog->exec();
        busy = false;
        qCDebug(lcApp) << "回到正常程序";
        reopenPort();
        delete dialog;
    });
}

void AT::reopenPort()
{
    uart.close();
    qCDebug(lcApp) << (uart.open(QIODevice::ReadWrite) ? "uart open ok" : "uart open fail");
}

void AT::SetATCmd()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    qCDebug(lcApp) << "button->objectName()==" << button->objectName();
    const QString name = button->objectName().mid(6);
    qCDebug(lcApp) << "AT_S==" << name;
    writeRegister(name);
}

// Every field with the edited mark, in register order, each as its write button writes it.
void AT::writeEdited()
{
    guarded(nullptr, [this] {
        for (const QString &name : ui->registers.edited())
            writeRegister(name);
    });
}

void AT::writeRegister(const QString &name)
{
    QString value;
    if (const QLineEdit *edit = ui->registers.edit(name)) {
        qCDebug(lcApp) << " find edit " << name;
        value = edit->text();
    } else {
        qCDebug(lcApp) << "not find edit " << name;
        const QComboBox *box = ui->registers.box(name);
        if (!box) {
            qCDebug(lcApp) << "not find box " << name;
            return;
        }
        qCDebug(lcApp) << " find box " << name;
        value = QString::number(RegisterCatalog::wireValueForIndex(name, box->currentIndex()));
    }
    SendUartData(AtCommands::writeCommand(name, value));
    const bool acknowledged = WaiteRecvData(AtCommands::WriteWaits, 0);
    ui->registers.mark(name, acknowledged ? FieldState::Written : FieldState::Failed);
}
