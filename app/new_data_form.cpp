#include "app/new_data_form.h"

#include <QResizeEvent>

#include "app/online_lists.h"
#include "controls/my_stree.h"
#include "controls/twips.h"

NewDataForm::NewDataForm(const MyStree* look, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("NewDataForm"));
  setModal(true);
  setWindowTitle(QStringLiteral("最新资料"));
  setFont(QFont(QStringLiteral("宋体"), 9));
  // The main window's face colour around the list.
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(236, 233, 216));
  setPalette(pal);
  myStree1_ = new MyStree(this);
  myStree1_->setObjectName(QStringLiteral("MyStree1"));
  myStree1_->setHightLightUse(true);
  myStree1_->setHightLightColor(65535);  // designed like the main window's lists: yellow
  CopyLook(look);
  myStree1_->setLabelFontName(QStringLiteral("宋体"));
  connect(myStree1_, &MyStree::LabelClick, this, [this](int16_t& Index) { MyStree1_LabelClick(Index); });
  resize(twips::ToPixels(kClientWidth), twips::ToPixels(kClientHeight));
  // The list wraps its captions to its width when it is filled, which the
  // main window does before the window is shown.
  PlaceList();
}

void NewDataForm::PlaceList() {
  const int margin = twips::ToPixels(kMargin);
  myStree1_->setGeometry(margin, margin, std::max(0, width() - 2 * margin), std::max(0, height() - 2 * margin));
}

void NewDataForm::CopyLook(const MyStree* look) {
  if (!look) return;
  myStree1_->setBackGroundColor1(look->BackGroundColor1());
  myStree1_->setBackGroundAngel(look->BackGroundAngel());
  myStree1_->setBackGroundColor2(look->BackGroundColor2());
  myStree1_->setBorderColor(look->BorderColor());
  myStree1_->setLabelColorClick(look->LabelColorClick());
  myStree1_->setLabelColorMoveIn(look->LabelColorMoveIn());
  myStree1_->setLabelColorMoveOut(look->LabelColorMoveOut());
  myStree1_->setLabelFontSize(look->LabelFontSize());
}

void NewDataForm::MyStree1_LabelClick(int index) {
  if (index < 1 || index > myStree1_->LabelCount()) return;
  ProMod::OpenWithShell(myStree1_->GetLabelItemData(index));
}

void NewDataForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceList();
}
