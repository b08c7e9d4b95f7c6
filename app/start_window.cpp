#include "app/start_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/library_scan.h"
#include "core/material_store.h"
#include "core/message_service.h"

StartWindow::StartWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle(ProMod::kAppTitle);
  resize(800, 520);
  auto* layout = new QVBoxLayout(this);
  folderLabel_ = new QLabel(this);
  folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(folderLabel_);
  auto* lists = new QHBoxLayout;
  categories_ = new QListWidget(this);
  recordings_ = new QListWidget(this);
  categories_->setMaximumWidth(260);
  lists->addWidget(categories_);
  lists->addWidget(recordings_, 1);
  layout->addLayout(lists, 1);
  connect(categories_, &QListWidget::currentRowChanged, this, &StartWindow::ShowCategory);
  Reload();
}

void StartWindow::Reload() {
  ProMod::EnsureLibraryRoot();
  categories_->clear();
  categories_->addItems(ProMod::CategoryList());
  categories_->setCurrentRow(0);
}

void StartWindow::ShowCategory(int row) {
  recordings_->clear();
  if (row < 0) return;
  QString name = row == 0 ? QString() : categories_->item(row)->text();
  ProMod::CurrentFolder = ProMod::FolderForCategory(row, name);
  folderLabel_->setText(ProMod::CurrentFolder);
  const QString block = ProMod::ListFolder(ProMod::CurrentFolder, false);
  if (!block.isEmpty()) recordings_->addItems(block.split(ProMod::kEnter));
}
