// The amount field's key editing as a pure function: (text, selection, key) to
// (edited text, caret measured from the right end). The field reformats the
// edited text and puts the caret at length - rightOffset.
#pragma once

#include <optional>
#include <QChar>
#include <QString>

struct MoneyKeyInput {
    QString text;
    int selStart = 0;
    int selLength = 0;
    int decimals = 2;
    int maxLength = 20;
};

struct MoneyKeyResult {
    QString text;    // before reformatting
    int rightOffset; // characters after the caret
};

// A typed character; '\b' is backspace. Every character is consumed.
std::optional<MoneyKeyResult> moneyKeyPress(const MoneyKeyInput &in, QChar key);
// The Delete key.
std::optional<MoneyKeyResult> moneyDeleteKey(const MoneyKeyInput &in);

// The edit and the reformat in one: what the field shows afterwards and where
// its caret stands.
struct MoneyFieldState {
    QString text;
    int caret;
};
MoneyFieldState moneyApplyKey(const MoneyKeyInput &in, QChar key);
MoneyFieldState moneyApplyDelete(const MoneyKeyInput &in);
