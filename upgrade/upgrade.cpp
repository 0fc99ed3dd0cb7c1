#include "upgrade.h"

#include "upgradeform.h"

#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QTimer>

using namespace UpgradeConstants;

namespace {

const char *const SettingsFile = "./Setting.ini";
const char *const LastPathKey = "LastFilePath";
const char *const UpdateAnnouncement = "UPDATE\r\n";

} // namespace

upgrade::upgrade(QWidget *parent) : QDialog(parent), m_form(std::make_unique<UpgradeForm>())
{
    m_form->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    initForm();
    system_init();
}

upgrade::~upgrade()
{
    if (m_port)
        disconnect(m_port, &QSerialPort::readyRead, this, &upgrade::receive_Uartdata);
}

void upgrade::SetSerialPort(QSerialPort *port)
{
    if (m_port)
        disconnect(m_port, &QSerialPort::readyRead, this, &upgrade::receive_Uartdata);
    m_port = port;
    connect(m_port, &QSerialPort::readyRead, this, &upgrade::receive_Uartdata);
}

void upgrade::initForm()
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("升级"));
}

void upgrade::system_init()
{
    m_protocol = std::make_unique<ApiProtocol>();
    m_frameTimer = new QTimer(this);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    m_atTimer = new QTimer(this);
    m_atTimer->setTimerType(Qt::PreciseTimer);

    connect(m_form->btnUplaod, &QPushButton::clicked, this, &upgrade::UpdateFile);
    connect(m_form->btnUpdatefile, &QPushButton::clicked, this, &upgrade::AddUpdateFile);
    connect(this, &upgrade::JOINAT, this, &upgrade::EnterAT);
    connect(this, &upgrade::ATUPDATE, this, &upgrade::UpdateAT);
    connect(this, &upgrade::SendUpdateSignal, this, &upgrade::SendUpdate);
    connect(m_frameTimer, &QTimer::timeout, this, &upgrade::SendUart);
    connect(m_atTimer, &QTimer::timeout, this, &upgrade::ATCommmdTimeOut);
}

void upgrade::receive_Uartdata()
{
    if (m_machine.state() == UpgradeMachine::UpdateSent)
        receiveText();
    else
        receiveFrame();
}

// The frame timer's expiry: the request in flight is re-sent while re-sends remain.
void upgrade::SendUart()
{
    const UpgradeMachine::TimeoutAction action = m_machine.frameTimedOut();
    if (action == UpgradeMachine::TimeoutAction::Resend) {
        m_frameCount = 0;
        WriteFrame();
        return;
    }
    qDebug() << "RECV TIMEOUT";
    m_frameTimer->stop();
    if (action == UpgradeMachine::TimeoutAction::Fail)
        failUpgrade();
}

void upgrade::UpdateFile()
{
    if (m_form->btnUplaod->text() == tr("升级"))
        startUpgrade();
    else
        cancelUpgrade();
}

void upgrade::AddUpdateFile()
{
    QSettings settings(QString::fromLatin1(SettingsFile), QSettings::IniFormat);
    const QString lastPath = settings.value(QString::fromLatin1(LastPathKey)).toString();
    qDebug() << "lastpath" << lastPath;
    const QString fileName = QFileDialog::getOpenFileName(this, tr("选择升级文件！"), lastPath,
                                                          QStringLiteral("Files(*.stz)"));
    qDebug() << "filename : " << fileName;
    if (fileName.isEmpty())
        return;
    m_form->btnUpdatefile->setText(fileName);
    settings.setValue(QString::fromLatin1(LastPathKey), fileName);
}

void upgrade::SendUpdate()
{
    const UpgradeMachine::Request request = m_machine.request();
    if (request.step == 0)
        return;
    m_form->labPromptUpdate->setText(tr(request.prompt));
    std::array<quint8, FrameBufferSize> frame{};
    const int length = buildRequest(frame.data(), request.step);
    SendFrame(frame.data(), length, request.timeout, request.resends);
    if (request.step == ApiProtocol::UPDATE_LOADING) {
        m_form->progressUpdate->setValue(m_machine.offset());
        qDebug() << m_machine.offset() << "/" << m_image.size();
    }
}

void upgrade::EnterAT()
{
    m_machine.setState(UpgradeMachine::EscapeSent);
    SendATString(QStringLiteral("+++"));
}

void upgrade::ExitAT()
{
    SendATString(QStringLiteral("ATA\r"));
}

void upgrade::UpdateAT()
{
    m_machine.setState(UpgradeMachine::UpdateSent);
    m_form->labPromptUpdate->setText(tr("进入AT升级模式"));
    SendATString(QStringLiteral("\rAT&UP\r"));
}

// The main window sets up and owns the port; the dialog only borrows it.
void upgrade::initUart() {}

void upgrade::ATCommmdTimeOut()
{
    m_atTimer->stop();
    switch (m_machine.atTimedOut()) {
    case UpgradeMachine::AtTimeoutAction::JoinAt:
        emit JOINAT();
        break;
    case UpgradeMachine::AtTimeoutAction::AtUpdate:
        emit ATUPDATE();
        break;
    case UpgradeMachine::AtTimeoutAction::None:
        break;
    }
}

void upgrade::SendATString(const QString &text)
{
    qDebug() << "sendbuf "
             << "=" << text;
    if (m_port)
        m_port->write(text.toLatin1());
    m_atText.clear();
    m_atTimer->start(AtStringTimeout);
}

void upgrade::SendFrame(const quint8 *frame, int length, int timeout, int retries)
{
    m_request = QByteArray(reinterpret_cast<const char *>(frame), length);
    m_machine.arm(retries);
    m_frameTimer->start(timeout);
    m_frameCount = 0;
    WriteFrame();
}

// Stale bytes in either direction would be mistaken for part of the next exchange.
void upgrade::WriteFrame()
{
    if (!m_port)
        return;
    m_port->clear();
    m_port->write(m_request);
    m_port->waitForBytesWritten(WriteWait);
}

void upgrade::startUpgrade()
{
    m_image.clear();
    QFile file(m_form->btnUpdatefile->text());
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "Can't open the file!";
        QMessageBox::information(this, QStringLiteral("文件错误"),
                                 QStringLiteral("文件错误，请检查！！"));
        return;
    }
    m_image = file.readAll();
    qDebug() << "filesize=" << m_image.size();
    file.close();
    m_machine.start(m_image.size());
    m_form->progressUpdate->setMaximum(m_image.size());
    m_form->progressUpdate->setValue(0);
    m_form->btnUplaod->setText(tr("取消"));
    m_form->btnUplaod->setStyleSheet(QStringLiteral("color: red"));
    emit ATUPDATE();
}

// The frame timer keeps running: the request in flight may still be re-sent.
void upgrade::cancelUpgrade()
{
    m_machine.stop();
    m_form->btnUplaod->setText(tr("升级"));
    m_form->btnUplaod->setStyleSheet(QStringLiteral("color: white"));
    m_form->progressUpdate->setValue(0);
    m_form->labPromptUpdate->clear();
    m_atTimer->stop();
}

void upgrade::receiveText()
{
    m_atText += m_port->readAll();
    qDebug() << m_atText;
    if (!m_atText.contains(UpdateAnnouncement))
        return;
    m_atTimer->stop();
    m_atText.clear();
    m_machine.setState(UpgradeMachine::Starting);
    QTimer::singleShot(StartDelay, Qt::PreciseTimer, this, &upgrade::SendUpdateSignal);
}

// Bytes beyond one frame are dropped: the modem sends one reply per request.
void upgrade::receiveFrame()
{
    const qint64 got = m_port->read(reinterpret_cast<char *>(m_frame.data()) + m_frameCount,
                                    FrameBufferSize - m_frameCount);
    if (got > 0)
        m_frameCount += int(got);
    if (m_frameCount == 0 || m_frameCount < m_protocol->GetFrameLen(m_frame.data()))
        return;
    const bool accepted = m_protocol->CheckFrame(m_frame.data(), m_frameCount);
    m_frameCount = 0;
    if (accepted)
        replyAccepted();
    else
        replyRejected();
}

void upgrade::replyAccepted()
{
    m_frameTimer->stop();
    const int type = m_protocol->GetReplyType(m_frame.data());
    switch (m_machine.replyAccepted(type, packetLen())) {
    case UpgradeMachine::ReplyAction::SendNext:
        emit SendUpdateSignal();
        break;
    case UpgradeMachine::ReplyAction::Success:
        succeedUpgrade();
        break;
    case UpgradeMachine::ReplyAction::OutOfStep:
        qDebug() << UpgradeMachine::outOfStepTag(type) << m_machine.state();
        break;
    case UpgradeMachine::ReplyAction::None:
        break;
    }
}

void upgrade::replyRejected()
{
    qDebug() << "RECV ERROR";
    if (!m_machine.replyRejected(packetLen()))
        return;
    m_frameTimer->stop();
    emit SendUpdateSignal();
}

// The button keeps "取消" and the bar its value, so the operator sees where it stopped.
void upgrade::failUpgrade()
{
    QMessageBox::information(this, tr("升级失败"), tr("升级失败，请检查！！"));
    m_machine.stop();
    m_form->labPromptUpdate->setText(tr("升级失败"));
}

void upgrade::succeedUpgrade()
{
    m_form->progressUpdate->setValue(m_image.size());
    m_form->labPromptUpdate->setText(tr("升级成功"));
    QMessageBox::information(this, tr("升级成功"), tr("升级成功，请重启设置！！"));
    m_form->btnUplaod->click(); // the cancel branch returns the dialog to idle
}

int upgrade::buildRequest(quint8 *frame, int step) const
{
    switch (step) {
    case ApiProtocol::UPDATE_START:
        return m_protocol->UpdateStart(frame);
    case ApiProtocol::UPDATE_LOADING: {
        const UpgradeMachine::Chunk chunk = m_machine.chunk(packetLen());
        const auto *data = reinterpret_cast<const quint8 *>(m_image.constData()) + chunk.offset;
        return m_protocol->UpdateLoading(frame, chunk.index, data, chunk.length);
    }
    default:
        return m_protocol->UpdateEnd(frame);
    }
}

int upgrade::packetLen() const
{
    return m_protocol->GetPacketLen(m_port ? m_port->baudRate() : 0);
}
