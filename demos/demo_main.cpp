// A small window showing the custom controls: a sentence list
// with highlight, hover and scroll bar, a list with hidden texts, and two
// progress bars half filled. Not part of the application.
#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "controls/my_stree.h"
#include "controls/qel_pbar.h"

namespace {

QString Sentences() {
  const QStringList lines = {
      "Good morning. Could you tell me the way to the railway station?",
      "Sure. Go straight ahead and turn left at the second crossing.",
      "Is it far from here? I have to catch the ten o'clock train.",
      "No, it's only about five minutes on foot.",
      "Thank you very much. 非常感谢！",
      "You're welcome. Have a nice trip.",
      "Excuse me, is this seat taken?",
      "No, please sit down.",
      "How long does it take to get to Shanghai by train?",
      "About four and a half hours, if the train is on time.",
      "What time does the dining car open?",
      "It opens at half past eleven and closes at two.",
      "Could I have a window seat, please?",
      "I'm sorry, they're all booked. Would an aisle seat be all right?",
      "That's fine. How much is the ticket?",
      "It's two hundred and sixty yuan.",
  };
  return lines.join(QStringLiteral("<KVQENTER>"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  QFont uiFont(QStringLiteral("Noto Sans CJK SC"));
  uiFont.setPixelSize(13);
  app.setFont(uiFont);

  QWidget window;
  window.setWindowTitle(QStringLiteral("Velmo复读机 控件演示"));
  window.resize(760, 560);
  window.setStyleSheet(QStringLiteral("QWidget#demo { background: #f0f0f0; }"));
  window.setObjectName(QStringLiteral("demo"));

  auto* heading1 = new QLabel(QStringLiteral("句子列表（悬停、高亮、滚动条）"), &window);
  heading1->move(20, 12);
  auto* list = new MyStree(&window);
  list->setGeometry(20, 36, 360, 400);
  list->setHightLightUse(true);
  list->setHightLightColor(RgbValue(255, 236, 179));
  list->setLabelColorClick(RgbValue(192, 0, 0));
  list->setLabelColorMoveIn(RgbValue(0, 0, 255));
  list->setBorderColor(RgbValue(0, 45, 150));
  list->setBackGroundColor1(RgbValue(221, 221, 221));
  list->setBackGroundColor2(RgbValue(255, 255, 255));
  list->setGetData(Sentences());
  list->setLabelCurClick(3);

  auto* heading2 = new QLabel(QStringLiteral("隐藏文本"), &window);
  heading2->move(400, 12);
  auto* hidden = new MyStree(&window);
  hidden->setGeometry(400, 36, 340, 250);
  hidden->setBackGroundAngel(315);
  hidden->setBackGroundColor1(RgbValue(208, 255, 255));
  hidden->setBackGroundColor2(RgbValue(255, 255, 255));
  hidden->setShowHideCaptial(true);
  hidden->setGetData(QStringLiteral("How are you?<KVQENTER>I am fine, thank you.<KVQENTER>你好，Tom<KVQENTER>"
                                    "Where do you come from?<KVQENTER>I come from 北京."));
  hidden->ShowHideCaptialSet(1, false);

  auto* heading3 = new QLabel(QStringLiteral("进度条"), &window);
  heading3->move(400, 300);
  auto* whole = new QelPBar(&window);
  whole->setGeometry(400, 326, 340, 22);
  whole->setMaxValue(150500);
  whole->setValue(75250);
  whole->setCaption(QStringLiteral("0:01:15.250 / 0:02:30.500"));
  auto* percent = new QelPBar(&window);
  percent->setGeometry(400, 362, 340, 22);
  percent->setColorLeft(RgbValue(0, 96, 0));
  percent->setColorRight(RgbValue(96, 200, 96));
  percent->setBorderColor(RgbValue(0, 96, 0));
  percent->setAutoPerCent(true);
  percent->setMaxValue(800);
  percent->setValue(400);
  auto* drag = new QelPBar(&window);
  drag->setGeometry(400, 398, 340, 22);
  drag->setCanDrag(true);
  drag->setAutoPerCent(true);
  QObject::connect(drag, &QelPBar::MouseMove, drag, [percent, drag](int16_t&, int16_t&, float&, float&) {
    percent->setValue(drag->Value() * 8);
  });

  auto* note = new QLabel(QStringLiteral("可拖动的进度条：按住左键拖动"), &window);
  note->move(400, 426);

  window.show();
  // Rest the pointer on the fifth sentence so the hover shows.
  QTimer::singleShot(300, list, [list] {
    QCursor::setPos(list->mapToGlobal(list->CaptionRect(5).center()));
  });
  return app.exec();
}
