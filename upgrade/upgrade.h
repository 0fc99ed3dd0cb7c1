#pragma once

#include "apiprotocol.h"
#include "upgradeconstants.h"
#include "upgrademachine.h"

#include <QByteArray>
#include <QDialog>
#include <array>
#include <memory>

class QSerialPort;
class QTimer;
class UpgradeForm;

// Replaces the modem's firmware with a *.stz file over a borrowed serial port: switches the
// modem into its update mode with AT strings, then sends the file in acknowledged frames.
class upgrade : public QDialog
{
    Q_OBJECT

public:
    explicit upgrade(QWidget *parent = nullptr);
    ~upgrade() override;

    void SetSerialPort(QSerialPort *port);

signals:
    void SendUpdateSignal();
    void JOINAT();
    void ATUPDATE();

private slots:
    void initForm();
    void system_init();
    void receive_Uartdata();
    void SendUart();
    void UpdateFile();
    void AddUpdateFile();
    void SendUpdate();
    void EnterAT();
    void ExitAT();
    void UpdateAT();
    void initUart();
    void ATCommmdTimeOut();

private:
    void SendATString(const QString &text);
    void SendFrame(const quint8 *frame, int length, int timeout, int retries);
    void WriteFrame();

    void startUpgrade();
    void cancelUpgrade();
    void receiveText();
    void receiveFrame();
    void replyAccepted();
    void replyRejected();
    void failUpgrade();
    void succeedUpgrade();
    int buildRequest(quint8 *frame, int step) const;
    int packetLen() const;

    std::unique_ptr<UpgradeForm> m_form;
    std::unique_ptr<ApiProtocol> m_protocol;
    QSerialPort *m_port = nullptr;
    std::array<quint8, UpgradeConstants::FrameBufferSize> m_frame{};
    int m_frameCount = 0; // bytes of m_frame filled
    QByteArray m_request;
    QByteArray m_atText;
    QTimer *m_frameTimer = nullptr;
    QTimer *m_atTimer = nullptr;
    QByteArray m_image;
    UpgradeMachine m_machine;
};
