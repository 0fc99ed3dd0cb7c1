#pragma once

#include <QObject>
#include <QString>

// Works the upgrade dialog the main window opens, driven by the windows being shown rather
// than by polling: picks the file, starts the upgrade, notes when and which box ends it,
// closes the box and then the dialog.
class UpgradeOperator : public QObject
{
public:
    explicit UpgradeOperator(const QString &file);
    ~UpgradeOperator() override;

    qint64 boxShownNs() const { return m_boxShownNs; } // monotonic time of the first box
    QString boxText() const { return m_boxText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUpgrade(QWidget *dialog);
    void closeBox(QWidget *box);

    QString m_file;
    QWidget *m_dialog = nullptr;
    qint64 m_boxShownNs = 0;
    QString m_boxText;
};
