// TMoneyEdit: the amount field. It always shows a number with `decimals()`
// decimals and grouped integer digits, and turns each keystroke into an edit of
// that number. Screens also use hidden instances as number <-> text converters.
#pragma once

#include "base/decimal.h"

#include <QLineEdit>

class TMoneyEdit : public QLineEdit
{
    Q_OBJECT
  public:
    explicit TMoneyEdit(QWidget *parent = nullptr);

    int decimals() const { return m_decimals; }
    // Ignored unless 1 <= value < maxLength() - 1; rebuilds the pattern and
    // reformats the text.
    void setDecimals(int value);
    int maxLength() const { return m_maxLength; }
    // Ignored unless decimals() + 1 < value < 22; afterwards lowered by one when
    // the room for the integer part is a multiple of 4, so that the text can
    // never begin with a group separator. Hides QLineEdit's own limit, which
    // stays unset.
    void setMaxLength(int value);
    QString formatPattern() const;

    // Reading: the shown text through StripFormat. Writing: the value rounded
    // to decimals() places and grouped.
    Decimal textAsFloat() const;
    void setTextAsFloat(const Decimal &value);

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

  private:
    void applyEdit(const QString &text, int rightOffset);
    void reformat();

    int m_decimals = 2;
    int m_maxLength = 20;
};
