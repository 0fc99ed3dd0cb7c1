#pragma once

#include <QString>
#include <memory>

class AT;
class QPushButton;

// The tool's main window as the operator sets it up for a measurement: the line's port and
// the rate chosen in the port panel.
class BenchWindow
{
public:
    BenchWindow(const QString &port, int rate);
    ~BenchWindow();

    bool openInAtMode(); // opens the port and enters AT mode; false without the greeting
    bool enterAtMode();
    void click(const char *button);
    QString fieldText(const char *name) const;

private:
    QPushButton *button(const char *name) const;

    std::unique_ptr<AT> m_window;
};
