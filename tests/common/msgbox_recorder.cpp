#include "tests/common/msgbox_recorder.h"

#include "platform/plain_message.h"

MsgBoxRecorder::MsgBoxRecorder(int defaultAnswer) : defaultAnswer_(defaultAnswer) {
  ProMod::SetMsgBoxPresenter([this](const ProMod::MsgBoxRequest& request) {
    shown_.push_back(request);
    if (answers_.empty()) return defaultAnswer_;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  });
}

MsgBoxRecorder::~MsgBoxRecorder() { ProMod::SetMsgBoxPresenter(nullptr); }

PlainMessageRecorder::PlainMessageRecorder(int answer) {
  platform::SetPlainMessageHandler([this, answer](const platform::PlainMessage& message) {
    shown.push_back({message.text, message.title, message.twoButtons});
    return answer;
  });
}

PlainMessageRecorder::~PlainMessageRecorder() { platform::SetPlainMessageHandler(nullptr); }
