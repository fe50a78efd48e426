// The about box: product name, version 4.0.4, rights and credits.
#pragma once

#include <QDialog>

class TAboutBox : public QDialog
{
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
