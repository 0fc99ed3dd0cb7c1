#pragma once

#include <QDialog>
#include <optional>

class QComboBox;

// The preset dialog: the operator picks which factory preset the modem restores.
class init : public QDialog
{
    Q_OBJECT
public:
    explicit init(QWidget *parent = nullptr);

    // Runs the dialog modally: the index of the preset the operator confirmed, none when the
    // dialog was cancelled, closed or left with Escape.
    static std::optional<int> choose(QWidget *parent = nullptr);

public slots:
    void accept() override;
    void reject() override;

private:
    void setupUi();

    QComboBox *m_presets = nullptr;
    std::optional<int> m_chosen;
};
