#pragma once

#include <QDialog>

class QComboBox;

// The preset dialog: the operator picks which factory preset the modem restores.
class init : public QDialog
{
    Q_OBJECT
public:
    explicit init(QWidget *parent = nullptr);

    // Index of the preset confirmed by the last dialog, -1 when none was (cancel, close, Escape).
    static int chosenIndex();

public slots:
    void accept() override;
    void reject() override;

private:
    void setupUi();

    QComboBox *m_presets = nullptr;
};
