#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace testing_support {

// Dialogs that answer from a script and remember everything they were asked.
class ScriptedDialogs : public platform::Dialogs {
public:
    struct Message {
        QString text;
        QString caption;
        platform::Buttons buttons;
        platform::Icon icon;
    };
    struct Input {
        QString prompt;
        QString title;
        QString defaultText;
    };

    platform::Answer message(const QString& text, const QString& caption, platform::Buttons buttons,
                             platform::Icon icon) override
    {
        messages.push_back({text, caption, buttons, icon});
        if (onMessage)
            onMessage(messages.back());
        if (buttons == platform::Buttons::Ok)
            return platform::Answer::Ok;
        if (answers.empty())
            return platform::Answer::No;
        const platform::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString input(const QString& prompt, const QString& title, const QString& defaultText) override
    {
        inputs.push_back({prompt, title, defaultText});
        return Next(inputAnswers);
    }

    QStringList openFiles(const platform::OpenFileRequest& request) override
    {
        fileRequests.push_back(request);
        if (fileAnswers.empty())
            return {};
        QStringList answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    QString pickFolder(const QString& prompt, const QString& startFolder) override
    {
        folderRequests.push_back({prompt, startFolder});
        return Next(folderAnswers);
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Message& m : messages)
            texts << m.text;
        return texts;
    }

    // Answers for Yes/No questions, in order; No when the script runs out.
    std::deque<platform::Answer> answers;
    std::deque<QString> inputAnswers;
    std::deque<QStringList> fileAnswers;
    std::deque<QString> folderAnswers;
    std::function<void(const Message&)> onMessage;

    QList<Message> messages;
    QList<Input> inputs;
    QList<platform::OpenFileRequest> fileRequests;
    QList<QPair<QString, QString>> folderRequests;

private:
    static QString Next(std::deque<QString>& queue)
    {
        if (queue.empty())
            return {};
        QString answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

}  // namespace testing_support
