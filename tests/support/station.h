#pragma once

#include "appresources.h"
#include "at.h"
#include "portlist.h"
#include "simmodem.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

// A main window with a simulated modem on a pseudo-terminal offered in its port list: what an
// operator has on the desk, for end-to-end tests.
class Station
{
public:
    Station()
    {
        initAppResources();
        QString error;
        if (!modem.start(&error))
            qFatal("simulated modem: %s", qPrintable(error));
        PortList::clearExtraPorts();
        PortList::addExtraPort(modem.portName());
        window = std::make_unique<AT>();
        window->show();
        combo("UartCom")->setCurrentText(modem.portName());
    }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QPushButton *button(const QString &name) const { return find<QPushButton>(name); }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    QLineEdit *edit(const QString &name) const { return find<QLineEdit>(name); }
    QString mark(const QString &name) const { return find<QWidget>(name)->styleSheet(); }
    QString log() const { return find<QTextBrowser>("textBrowser")->toPlainText(); }
    // How text written to the traffic log reads back: each line end becomes one line break.
    static QString shown(QString text)
    {
        return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace('\r', '\n');
    }
    QString status() const { return find<QStatusBar>("statusbar")->currentMessage(); }

    void click(const QString &name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void trigger(const QString &action) { find<QAction>(action)->trigger(); }

    // Opens the simulated port at the baud rate shown in the port panel.
    bool openPort()
    {
        click("btnUart");
        return button("btnUart")->text() != QStringLiteral("打开");
    }

    // Opens the port and puts the modem into AT mode.
    bool enterAtMode()
    {
        if (!openPort())
            return false;
        click("btnEnterAT");
        return modem.inAtMode();
    }

    void send(const QString &command)
    {
        QMetaObject::invokeMethod(window.get(), "SendUartData", Q_ARG(QString, command));
    }

    // Runs `act` once, from the event loop, as soon as the modem has received bytes ending in
    // `tail`: for acting while the window waits for the reply to them, whatever the machine's
    // load.
    void whenModemReceived(const QByteArray &tail, std::function<void()> act)
    {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, tail, act] {
            if (modem.received().endsWith(tail)) {
                poll->deleteLater();
                poll->stop();
                act();
            }
        });
        poll->start(5);
    }

    SimModem modem;
    std::unique_ptr<AT> window;
};
