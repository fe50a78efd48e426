// The amount field on a QLineEdit.
#include "controls/moneyedit.h"

#include "base/amounttext.h"
#include "controls/moneykeys.h"

#include <QFocusEvent>
#include <QKeyEvent>

TMoneyEdit::TMoneyEdit(QWidget *parent) : QLineEdit(parent)
{
    resize(120, 24);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_maxLength = 20;
    setDecimals(2);
}

void TMoneyEdit::setDecimals(int value)
{
    if (value >= 1 && value < m_maxLength - 1)
        m_decimals = value;
    setMaxLength(m_maxLength);
    reformat();
}

void TMoneyEdit::setMaxLength(int value)
{
    if (value < 22 && value > m_decimals + 1)
        m_maxLength = value;
    if ((m_maxLength - m_decimals - 1) % 4 == 0)
        --m_maxLength;
}

QString TMoneyEdit::formatPattern() const
{
    return amount::formatPattern(m_decimals);
}

Decimal TMoneyEdit::textAsFloat() const
{
    return amount::textAsFloat(text(), m_decimals);
}

void TMoneyEdit::setTextAsFloat(const Decimal &value)
{
    const QString shown = amount::format(value, m_decimals);
    if (shown != text())
        setText(shown);
}

void TMoneyEdit::reformat()
{
    const QString shown = amount::reformat(text(), m_decimals);
    if (shown != text())
        setText(shown);
}

void TMoneyEdit::applyEdit(const QString &edited, int rightOffset)
{
    if (edited != text())
        setText(edited);
    reformat();
    setCursorPosition(std::max(0, int(text().size()) - rightOffset));
}

void TMoneyEdit::keyPressEvent(QKeyEvent *event)
{
    const MoneyKeyInput input{text(), hasSelectedText() ? selectionStart() : cursorPosition(),
                              int(selectedText().size()), m_decimals, m_maxLength};
    std::optional<MoneyKeyResult> result;
    if (event->key() == Qt::Key_Escape) {
        // Left to the window, which may close on it.
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier)
        result = moneyDeleteKey(input);
    else if (event->key() == Qt::Key_Backspace)
        result = moneyKeyPress(input, QChar(u'\b'));
    else if (!event->text().isEmpty())
        result = moneyKeyPress(input, event->text().at(0));
    if (!result) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    applyEdit(result->text, result->rightOffset);
}

void TMoneyEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    setCursorPosition(std::max(0, int(text().size()) - m_decimals - 1));
}
