#pragma once

#include "serialline.h"

#include <QMainWindow>
#include <QMap>
#include <QSerialPort>
#include <QStringList>
#include <future>
#include <memory>

class AtForm;
class AtSession;
class PortRecorder;
struct RegisterInfo;
class QLineEdit;
class QPushButton;

// The main window: owns the form, the serial port and the receive buffer, and runs every
// operation the operator starts from the command column and the register grid.
class AT : public QMainWindow
{
    Q_OBJECT
public:
    explicit AT(QWidget *parent = nullptr);
    ~AT() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void initForm();
    void on_btnMenu_Min_clicked();
    void on_btnMenu_Max_clicked();
    void on_btnMenu_Close_clicked();
    void ClearStatusTimeOne(int time);
    void system_init();
    void FlushUartCom();
    void initUart();
    void OpenUart();
    void SetUartBaud();
    void ClearTextBrowser();
    void SendUartData(QString cmd);
    bool receive_Uartdata();
    void initSystemData();
    void UIInitExec();
    void Upgrade();
    void EnterAT();
    void ExitAT();
    void SaveAT();
    void QueryAT();
    void EditChange();
    void BoxChange();
    void SetDevInit(int index);
    void SetATCmd();
    bool WaiteRecvData(int wait_num, int flag = 0);
    // Profiles and the transcript, from the form's and the traffic log's context menus.
    void openProfile(const QString &path);
    void saveProfile(const QString &path);
    void writeEdited();
    void saveTranscript(const QString &path);

private:
    void initActions();
    void addProfileActions();
    void addTranscriptAction();
    void acceptProfileDrops();
    void initSession();
    void writeRegister(const QString &name);
    void showProfileValue(const RegisterInfo &reg, const QString &value);
    QMap<QString, QString> shownValues() const;
    void saveFile(const QString &path, const QByteArray &text);
    // Runs a guarded operation with its button disabled: refused without a trace while another
    // one runs.
    template <typename Operation> void guarded(QPushButton *button, Operation operation);
    void showPorts(const QStringList &ports);
    void appendLog(const QString &text);
    void discardIdleInput();
    void showPortStatus(const QString &message, const char *colour);
    void reopenPort();
    void fillFromListing();
    void fillFromSingleAnswer();
    void showValue(QLineEdit *edit, const QString &value);

    QByteArray RecvData;
    AtForm *ui;
    QSerialPort uart;
    SerialLine &uartLine = SerialLine::wrapping(uart); // every exchange on uart goes through it
    std::unique_ptr<AtSession> session;                // the AT dialogue on `uart`
    bool busy = false;
    bool maximised = false;           // by the title bar's button or a double click on it
    QRect normalGeometry;             // the geometry a maximised window goes back to
    bool waiting = false;             // a reply wait runs (it may not hold the busy guard)
    PortRecorder *recorder = nullptr; // everything the port carried, for the transcript
    // Listing the ports walks the system's devices, tens of milliseconds on some machines: at
    // start-up it runs on a thread of its own while the form is built.
    std::future<QStringList> m_portsAtStart;
};
