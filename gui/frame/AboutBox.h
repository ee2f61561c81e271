#pragma once
// The modal about box: product title and version.

#include <QDialog>

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(QWidget* parent = nullptr);
};
