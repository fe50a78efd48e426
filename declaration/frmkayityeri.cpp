// The save-drive chooser.
#include "declaration/frmkayityeri.h"

#include "app/context.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

// The volume holding `folder`: the one with the longest root that contains it.
qsizetype volumeOf(const QList<Volume> &volumes, const QString &folder)
{
    const QString path = QDir::cleanPath(folder) + u'/';
    qsizetype best = -1;
    for (qsizetype i = 0; i < volumes.size(); ++i) {
        const QString root = QDir::cleanPath(volumes[i].root);
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        if (path.startsWith(prefix, Qt::CaseInsensitive) &&
            (best < 0 || volumes[i].root.size() > volumes[best].root.size()))
            best = i;
    }
    return best;
}

} // namespace

Tkayityeri::Tkayityeri(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setWindowTitle(QStringLiteral("Dosya Kayıt Yeri"));
    Label1 = new QLabel(QStringLiteral("Kayıt Yeri :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    kayityeri = new QComboBox(this);
    kayityeri->setObjectName(QStringLiteral("kayityeri"));
    kayityeri->setMinimumWidth(260);
    BitBtn1 = new QPushButton(QStringLiteral("Kayıt"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);

    auto *row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(kayityeri, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(BitBtn1, 0, Qt::AlignRight);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { guarded(m_ctx.platform, [this] { BitBtn1Click(); }); });
    fillVolumes();
}

void Tkayityeri::fillVolumes()
{
    const std::optional<Volume> shown = shownVolume();
    m_volumes = m_ctx.platform.volumes();
    kayityeri->clear();
    for (const Volume &v : m_volumes) {
        const QString root = QDir::toNativeSeparators(v.root);
        kayityeri->addItem(v.name.isEmpty() || v.name == v.root
                               ? root
                               : v.name + QStringLiteral("  (") + root + u')');
    }
    qsizetype start = -1;
    if (shown)
        for (qsizetype i = 0; i < m_volumes.size() && start < 0; ++i)
            if (m_volumes[i].root == shown->root)
                start = i;
    if (start < 0)
        start = volumeOf(m_volumes, QDir::currentPath());
    kayityeri->setCurrentIndex(start < 0 ? (m_volumes.isEmpty() ? -1 : 0) : int(start));
}

std::optional<Volume> Tkayityeri::shownVolume() const
{
    const int i = kayityeri->currentIndex();
    if (i < 0 || i >= m_volumes.size())
        return std::nullopt;
    return m_volumes[i];
}

void Tkayityeri::BitBtn1Click()
{
    accept();
}

void Tkayityeri::showEvent(QShowEvent *event)
{
    fillVolumes();
    QDialog::showEvent(event);
}
