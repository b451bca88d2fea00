#include "platform/MessageQueue.h"

namespace velmorra {

void MessageQueue::postQuit(int exitCode) {
    Message message;
    message.kind = Message::Kind::Quit;
    message.exitCode = exitCode;
    posted.push_back(message);
}

bool MessageQueue::take(Message& message) {
    if (posted.empty()) {
        return false;
    }
    message = posted.front();
    posted.pop_front();
    return true;
}

} // namespace velmorra
