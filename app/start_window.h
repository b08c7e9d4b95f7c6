#pragma once
#include <QWidget>

class QListWidget;
class QLabel;

// The first window: lists the library's categories. The full main window
// replaces it.
class StartWindow : public QWidget {
  Q_OBJECT
 public:
  explicit StartWindow(QWidget* parent = nullptr);
  QListWidget* Categories() const { return categories_; }
  QListWidget* Recordings() const { return recordings_; }
  void Reload();

 private:
  void ShowCategory(int row);

  QListWidget* categories_;
  QListWidget* recordings_;
  QLabel* folderLabel_;
};
