#pragma once

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

// The upgrade dialog's five widgets, built in code with their object names and places.
class UpgradeForm
{
public:
    void setupUi(QDialog *dialog);
    void retranslateUi();

    QWidget *widget = nullptr;
    QPushButton *btnUplaod = nullptr;
    QProgressBar *progressUpdate = nullptr;
    QPushButton *btnUpdatefile = nullptr;
    QLabel *labPromptUpdate = nullptr;
};
