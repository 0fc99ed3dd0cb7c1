#pragma once

#include <QObject>

// Application-wide event filter that lets the operator drag any widget carrying the dynamic
// property canMove=true with the left mouse button. One instance per process.
class AppInit : public QObject
{
    Q_OBJECT

public:
    static AppInit *instance();

public slots:
    // Installs the filter on the application object, so it sees every event of the GUI thread.
    void start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppInit() = default;
};
