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

PlainMessageRecorder::PlainMessageRecorder() {
  platform::SetPlainMessageHandler(
      [this](const QString& text, const QString& title) { shown.push_back({text, title}); });
}

PlainMessageRecorder::~PlainMessageRecorder() { platform::SetPlainMessageHandler(nullptr); }
