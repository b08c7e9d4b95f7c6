#pragma once
#include <QString>
#include <deque>
#include <vector>

#include "core/message_service.h"

// Installs itself as the message presenter for its lifetime: records every
// request and answers with the queued answers (then with `defaultAnswer`).
class MsgBoxRecorder {
 public:
  explicit MsgBoxRecorder(int defaultAnswer = 1);
  ~MsgBoxRecorder();
  MsgBoxRecorder(const MsgBoxRecorder&) = delete;
  MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<ProMod::MsgBoxRequest>& Shown() const { return shown_; }
  int Count() const { return static_cast<int>(shown_.size()); }
  const ProMod::MsgBoxRequest& Last() const { return shown_.back(); }
  void Clear() { shown_.clear(); }

 private:
  std::vector<ProMod::MsgBoxRequest> shown_;
  std::deque<int> answers_;
  int defaultAnswer_;
};

// Records the plain platform message boxes of the custom controls and
// answers each with `answer`.
class PlainMessageRecorder {
 public:
  explicit PlainMessageRecorder(int answer = 1);
  ~PlainMessageRecorder();
  PlainMessageRecorder(const PlainMessageRecorder&) = delete;
  PlainMessageRecorder& operator=(const PlainMessageRecorder&) = delete;
  struct Shown {
    QString text, title;
    bool twoButtons = false;
  };
  std::vector<Shown> shown;
};
