#pragma once

#include <QDialog>
#include <memory>

class QSerialPort;
class UpgradeEngine;
class UpgradeForm;

// Replaces the modem's firmware with a *.stz file over a borrowed serial port: the operator
// picks the file and starts or cancels; the upgrade engine does the work, the dialog shows its
// prompt and progress and reports the outcome in a message box.
class upgrade : public QDialog
{
    Q_OBJECT

public:
    explicit upgrade(QWidget *parent = nullptr);
    ~upgrade() override;

    void SetSerialPort(QSerialPort *port);

private slots:
    void initForm();
    void system_init();
    void UpdateFile();
    void AddUpdateFile();
    void initUart();

private:
    void startUpgrade();
    void cancelUpgrade();
    void showPrompt(const char *sourceText);
    void reportOutcome(bool success);

    std::unique_ptr<UpgradeForm> m_form;
    UpgradeEngine *m_engine = nullptr;
};
