#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Answers the next modal window that opens: polls for it and hands it to `answer`, which
// reads what it needs and closes it. The text of the box is kept for the test to check.
class ModalAnswer : public QObject
{
public:
    explicit ModalAnswer(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last)
                return;
            m_last = modal;
            ++m_seen;
            QTimer::singleShot(0, modal, [this, modal] { m_answer(modal); });
        });
        m_poll.start(20);
    }
    int seen() const { return m_seen; }

private:
    std::function<void(QWidget *)> m_answer;
    QTimer m_poll;
    QPointer<QWidget> m_last;
    int m_seen = 0;
};

// A message box's frame as the operator reads it: its title, then its buttons' texts.
inline QStringList boxFrame(QWidget *modal)
{
    QStringList frame{modal->windowTitle()};
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        for (QAbstractButton *button : box->buttons())
            frame << button->text();
    }
    return frame;
}
