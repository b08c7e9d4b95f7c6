#pragma once
#include <QDialog>

class MyStree;

// "最新资料": the new materials the material server lists, one item per
// entry; the item data is the entry's address, which a click opens in the
// browser. The list looks like the main window's recording list.
class NewDataForm : public QDialog {
  Q_OBJECT

 public:
  // Client size in twips.
  static constexpr int kClientWidth = 6000;
  static constexpr int kClientHeight = 6600;
  static constexpr int kMargin = 60;

  // `look` is the list whose colours and font size the window copies (the
  // main window's recording list); may be null.
  explicit NewDataForm(const MyStree* look, QWidget* parent = nullptr);

  MyStree* MyStree1() const { return myStree1_; }

  // An item clicked: its address goes to the browser.
  void MyStree1_LabelClick(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CopyLook(const MyStree* look);
  void PlaceList();

  MyStree* myStree1_ = nullptr;
};
