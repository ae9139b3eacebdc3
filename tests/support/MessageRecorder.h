#pragma once

#include "uikit/MessageBox.h"

#include <QMessageBox>
#include <QStringList>

#include <deque>
#include <vector>

// Installs itself as the message handler for its lifetime: records every message and answers
// with the queued buttons (Ok, or the first button offered, when the queue is empty).
class MessageRecorder {
public:
    MessageRecorder()
    {
        previous_ = uikit::setMessageHandler([this](const uikit::MessageRequest& request) {
            messages.push_back(request);
            if (!answers.empty()) {
                const auto answer = answers.front();
                answers.pop_front();
                return answer;
            }
            return request.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
        });
    }
    ~MessageRecorder() { uikit::setMessageHandler(std::move(previous_)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QStringList texts() const
    {
        QStringList list;
        for (const auto& m : messages)
            list << m.text;
        return list;
    }

    std::vector<uikit::MessageRequest> messages;
    std::deque<QMessageBox::StandardButton> answers;

private:
    uikit::MessageHandler previous_;
};
