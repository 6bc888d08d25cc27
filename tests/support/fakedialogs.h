#pragma once

#include "logic/dialogs.h"

#include <QList>
#include <QQueue>

// Answers the program's questions from queues filled by the test, and records what was asked.
// An unexpected question gets Cancel.
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

    QList<Message> messages;
    QList<Question> questions;
    QStringList fileFilters;

    void messageBox(const QString &text, const QString &title, Corvath::MessageIcon icon) override
    {
        messages.append({text, title, icon});
    }
    // Recorded with the messages, without an icon.
    bool yesNo(const QString &text, const QString &title) override
    {
        messages.append({text, title, Corvath::MessageIcon::NoIcon});
        return !m_yesNo.isEmpty() && m_yesNo.dequeue();
    }
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override
    {
        questions.append({prompt, title, defaultText});
        return m_answers.isEmpty() ? QString() : m_answers.dequeue();
    }
    QString openFileName(const QString &filter) override
    {
        fileFilters.append(filter);
        return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
    }

private:
    QQueue<QString> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<bool> m_yesNo;
};
