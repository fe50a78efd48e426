// The worker thread and its progress dialog.
#include "app/backgroundwork.h"

#include <exception>
#include <memory>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

namespace
{

// Stays up until the work is done: ESC and the close button do nothing.
class ProgressDialog : public QDialog
{
  public:
    ProgressDialog(QWidget *parent, const QString &label) : QDialog(parent)
    {
        setObjectName(QStringLiteral("progressDialog"));
        setWindowTitle(QStringLiteral("Sarvek Bodro"));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setModal(true);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(label, this));
        auto *bar = new QProgressBar(this);
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        layout->addWidget(bar);
        setFixedWidth(360);
    }

    void finish()
    {
        m_finished = true;
        accept();
    }
    void reject() override
    {
        if (m_finished)
            QDialog::reject();
    }

  protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (!m_finished)
            event->ignore();
    }

  private:
    bool m_finished = false;
};

} // namespace

void runWithProgress(QWidget *parent, const QString &label, const std::function<void()> &work)
{
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    ProgressDialog dialog(parent, label);
    // Queued to this thread: delivered by the dialog's own loop, even when the
    // work ends before that loop has started.
    QObject::connect(thread.get(), &QThread::finished, &dialog, &ProgressDialog::finish,
                     Qt::QueuedConnection);
    thread->start();
    dialog.exec();
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}
