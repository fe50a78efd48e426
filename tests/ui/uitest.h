// Screen tests run under the program's own application object, so that an
// exception escaping a handler reaches the general error box as in the program.
#pragma once

#include "app/sarvekapp.h"
#include "core/testutil.h"

#include <QTest>
#include <QTimer>
#include <functional>

#define SARVEK_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        SarvekApplication app(argc, argv);                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// Types a text into the focused widget; Turkish letters go in as text events,
// which QTest::keyClicks cannot send.
void typeText(QWidget *widget, const QString &text);

// Types `keys` one key at a time, each to whatever widget holds the focus when
// it is pressed, letting the program react between keys: "\t" is Tab, "\n"
// Return, "\b" Backspace and "→" the Right arrow; other characters are typed
// as text.
void typeLikeAPerson(const QString &keys);

// Runs `action` once, as soon as a modal dialog is shown (polling), e.g. to
// close a dialog that exec() would otherwise wait on.
void whenModalShown(std::function<void(QWidget *)> action, int timeoutMs = 5000);

// While alive, records the caption of every modal dialog that opens and
// closes it (or hands it to `action` first, when set).
class ModalCloser : public QObject
{
public:
    explicit ModalCloser(std::function<void(QWidget *)> action = {});
    QStringList captions;

private:
    std::function<void(QWidget *)> m_action;
    QTimer *m_timer;
};
