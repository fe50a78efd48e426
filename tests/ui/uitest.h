// Screen tests run under the program's own application object, so that an
// exception escaping a handler reaches the general error box as in the program.
#pragma once

#include "app/sarvekapp.h"
#include "core/testutil.h"

#include <functional>
#include <QTest>
#include <QTimer>

#define SARVEK_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        SarvekApplication app(argc, argv);                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// The child widget of `parent` with the given objectName and type. Screens
// keep their widgets to themselves; tests reach them by name as a user would by
// sight. A missing child fails the test and ends the run at once, since every
// use would go on through a null pointer.
template <class W> W *child(QObject &parent, const char *name)
{
    W *w = parent.findChild<W *>(QLatin1String(name));
    if (!w) {
        QTest::qFail(qPrintable(QStringLiteral("no %1 named %2 in %3")
                                    .arg(QLatin1String(W::staticMetaObject.className()),
                                         QLatin1String(name), parent.objectName())),
                     __FILE__, __LINE__);
        qFatal("missing child widget %s", name);
    }
    return w;
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
