// Helpers for the screen tests.
#include "ui/uitest.h"

#include <QApplication>
#include <QTimer>

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isPrint())
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeLikeAPerson(const QString &keys)
{
    for (const QChar c : keys) {
        // A person's next key comes after the program has settled.
        QCoreApplication::processEvents();
        QWidget *target = QApplication::focusWidget();
        if (!target) {
            QTest::qFail("no widget holds the focus", __FILE__, __LINE__);
            return;
        }
        if (c == u'\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else if (c == u'\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else if (c == u'\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (c == u'→')
            QTest::keyClick(target, Qt::Key_Right);
        else
            typeText(target, QString(c));
        QCoreApplication::processEvents();
    }
}

void whenModalShown(std::function<void(QWidget *)> action, int timeoutMs)
{
    auto *timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, elapsed, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        *elapsed += 20;
        if (modal || *elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            if (modal)
                action(modal);
        }
    });
    timer->start(20);
}

ModalCloser::ModalCloser(std::function<void(QWidget *)> action)
    : m_action(std::move(action)), m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        captions << modal->windowTitle();
        if (m_action)
            m_action(modal);
        if (modal->isVisible())
            modal->close();
    });
    m_timer->start(20);
}
