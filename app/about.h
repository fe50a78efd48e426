// The about box: product name, version 4.0.4, rights and credits, and where
// the data is kept.
#pragma once

#include <QDialog>

class TAboutBox : public QDialog
{
    Q_OBJECT
  public:
    // storage: the data module's storageDescription().
    explicit TAboutBox(const QString &storage, QWidget *parent = nullptr);
};
