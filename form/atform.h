#pragma once

#include "registerformbinder.h"

#include <QtWidgets>

class newComboBox;
struct RegisterInfo;

// The widget tree of the main window: title bar, command column, register grid built from the
// register catalogue (with its validators, owned by the window, and tooltips), traffic log and
// status line. Every text goes through the context "AT".
class AtForm
{
public:
    QWidget *centralwidget;
    QGridLayout *gridLayout;
    QWidget *widgetTitle;
    QHBoxLayout *horizontalLayout;
    QLabel *labIco;
    QLabel *labTitle;
    QPushButton *btnMenu_Min;
    QPushButton *btnMenu_Max;
    QPushButton *btnMenu_Close;
    QWidget *widget;
    QGridLayout *gridLayout_2;
    QTextBrowser *textBrowser;
    QWidget *widget1;
    QVBoxLayout *verticalLayout;
    QLabel *label;
    newComboBox *UartCom;
    QComboBox *UartComBaud;
    QPushButton *btnUart;
    QPushButton *btnEnterAT;
    QPushButton *btnQuery;
    QPushButton *btnSave;
    QPushButton *btnExitAT;
    QPushButton *btnInit;
    QPushButton *btnUpdate;
    QPushButton *btnClear;
    QMenuBar *menubar;
    QStatusBar *statusbar;
    RegisterFormBinder registers; // the register grid's fields and their states

    void setupUi(QMainWindow *window);

private:
    void setupTitleBar();
    void setupCommandColumn();
    void setupRegisterGrid(QMainWindow *window);
    void addRegisterRow(const RegisterInfo &reg, QMainWindow *window);
    QPushButton *addCommandButton(const char *name, const char *text);
};
