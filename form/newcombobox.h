#pragma once

#include <QComboBox>

// Port list that reads the available ports again each time it is opened.
class newComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit newComboBox(QWidget *parent = nullptr);

    void showPopup() override;
};
