#pragma once

#include "logic/dialogs.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QList>
#include <QQueue>
#include <QTimer>

#include <functional>
#include <utility>

// Answers the program's questions from queues filled by the test, and records what was asked.
// An unexpected question gets Cancel. A box only opened is recorded with the messages. After
// closeWhen(), the next question stays open as a modal dialog does, running the events in a loop
// of its own, until the condition holds; after ten seconds it closes and counts in `heldOpen`.
class FakeDialogs final : public Corvath::Dialogs
{
public:
    struct Message
    {
        QString text;
        QString title;
        Corvath::MessageIcon icon;
    };
    struct Question
    {
        QString prompt;
        QString title;
        QString defaultText;
    };

    FakeDialogs() { Corvath::setDialogs(this); }
    ~FakeDialogs() override { Corvath::setDialogs(nullptr); }

    void setNextAnswer(const QString &text) { m_answers.enqueue(text); }
    void setNextFileName(const QString &path) { m_fileNames.enqueue(path); }
    void setNextYesNo(bool yes) { m_yesNo.enqueue(yes); }
    void closeWhen(std::function<bool()> closes) { m_closes = std::move(closes); }

    QList<Message> messages;
    QList<Question> questions;
    QStringList fileFilters;
    int heldOpen = 0;

    void messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon) override
    {
        messages.append({text, title, icon});
        stayOpen();
    }
    void openMessageBox(const QString &text, const QString &title,
                        Corvath::MessageIcon icon) override
    {
        messages.append({text, title, icon});
    }
    // Recorded with the messages, without an icon.
    bool yesNo(const QString &text, const QString &title) override
    {
        messages.append({text, title, Corvath::MessageIcon::NoIcon});
        stayOpen();
        return !m_yesNo.isEmpty() && m_yesNo.dequeue();
    }
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override
    {
        questions.append({prompt, title, defaultText});
        stayOpen();
        return m_answers.isEmpty() ? QString() : m_answers.dequeue();
    }
    QString openFileName(const QString &filter) override
    {
        fileFilters.append(filter);
        stayOpen();
        return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
    }

private:
    void stayOpen()
    {
        const auto closes = std::exchange(m_closes, {});
        if (!closes)
            return;
        const QDeadlineTimer deadline(10000);
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            if (closes() || (deadline.hasExpired() && ++heldOpen))
                loop.quit();
        });
        look.start(10);
        loop.exec();
    }

    std::function<bool()> m_closes;
    QQueue<QString> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<bool> m_yesNo;
};
