// Save, update, second-record save, reload and find commands of the entry
// screen, and the F10 pick of a stored return. The storing itself, with its
// single transaction per save, is returnstore; these handlers gather the
// screen, ask the questions and show the outcome.
#include "entry/yatirimgir.h"

#include "app/context.h"
#include "base/errors.h"
#include "controls/moneyedit.h"
#include "entry/returnstore.h"
#include "entry/rowcheck.h"
#include "lists/bordlist.h"
#include "lists/bordlistall.h"
#include "store/dm.h"

#include <memory>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>

using namespace entrygrid;
using returnstore::ReturnHeader;
using returnstore::SaveResult;

namespace
{

const QString TypeMissing = QStringLiteral("Lütfen Yatırım Yapılacak Bodro Türünü Seçiniz");
const QString SavedMessage = QStringLiteral("Kayıt işlemi başarılı oldu !.. ");

// The save header as the screen shows it at the moment of the click.
ReturnHeader saveHeader(const TForm1 &f, const QString &seqNo)
{
    ReturnHeader h;
    h.key.employer = f.registryNumber();
    h.key.periodStart = f.periodStartText();
    h.key.periodEnd = f.periodEndText();
    h.key.type = f.ALBODTUR1->isChecked()   ? QStringLiteral("01")
                 : f.ALBODTUR2->isChecked() ? QStringLiteral("02")
                                            : QString();
    h.key.seqNo = seqNo;
    h.send = f.yatgonder->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    h.address = f.ALADRES->toPlainText();
    h.phone = f.ALTELNO->text();
    h.name = f.alisvadi->toPlainText();
    return h;
}

} // namespace

// Stores the return on screen as a new return.
void TForm1::kayitbtnClick()
{
    if (!completeOpenCell() || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(*this, state.seqNo);
    state.employerNo = header.key.employer;
    if (header.key.type.isEmpty()) {
        m_ctx.platform.showMessage(TypeMissing);
        return;
    }
    if (returnstore::returnExists(m_ctx.dm, header.key)) {
        switch (m_ctx.platform.confirm(QStringLiteral(
            "Bu Devere Daha önce kayıt yapıldı !.. Güncellemek istiyorsanız ? Evet(Yes) veya "
            "Ayni devreyi ikinci Kayıt için No(Hayır) tikleyiniz?"))) {
        case Answer::Yes:
            guncelleClick();
            break;
        case Answer::No:
            devkayitClick();
            break;
        case Answer::Cancel:
            m_ctx.platform.showMessage(QStringLiteral("işlem İptal Edildi"));
            break;
        }
        return;
    }
    const SaveResult result = returnstore::saveNew(m_ctx.dm, header, gridRows());
    if (!result.ok()) {
        m_ctx.platform.showMessage(result.message);
        return;
    }
    m_ctx.platform.showMessage(SavedMessage);
    state.rowCounter = 1;
    yeniacClick();
    ALKAZA->setFocus(Qt::OtherFocusReason);
}

// Replaces the stored return that is on screen.
void TForm1::guncelleClick()
{
    if (!completeOpenCell() || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(*this, state.seqNo);
    state.employerNo = header.key.employer;
    if (!returnstore::isLoaded(m_ctx.dm) &&
        m_ctx.platform.confirm(QStringLiteral(
            "Var olan Kayıt ile Güncellenecek Kayıt Farklıdır. Güncelemeye Devam Ederseniz Eski "
            "Bilgiler Silinecektir..! Yine de Güncellemek istiyormusunuz ?")) != Answer::Yes) {
        m_ctx.platform.showMessage(QStringLiteral("İşlem İptal edildi"));
        return;
    }
    if (header.key.type.isEmpty()) {
        m_ctx.platform.showMessage(TypeMissing);
        return;
    }
    if (!returnstore::returnExists(m_ctx.dm, header.key)) {
        m_ctx.platform.showMessage(
            QStringLiteral("Bu Devere Daha önce kayıt yapılmadı !.. Kayıt Butonunu Tikleyiniz ?"));
        return;
    }
    const SaveResult result = returnstore::updateReturn(m_ctx.dm, header, gridRows());
    if (!result.ok()) {
        m_ctx.platform.showMessage(result.message);
        return;
    }
    m_ctx.platform.showWarning(QStringLiteral("Kayıt Güncellendi!"));
    state.rowCounter = 1;
    yeniacClick();
}

// Stores the return on screen as a further record of its period.
void TForm1::devkayitClick()
{
    if (!completeOpenCell() || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(*this, state.seqNo);
    if (header.key.type.isEmpty()) {
        m_ctx.platform.showMessage(TypeMissing);
        return;
    }
    // The screen's sequence number changes only once the record is stored; a
    // refused or failed save leaves the screen exactly as it was.
    const SaveResult result = returnstore::saveSecondRecord(m_ctx.dm, header, gridRows());
    if (!result.ok()) {
        m_ctx.platform.showMessage(result.message);
        return;
    }
    state.seqNo = result.seqNo;
    m_ctx.platform.showMessage(SavedMessage);
    state.rowCounter = 1;
    yeniacClick();
    ALKAZA->setFocus(Qt::OtherFocusReason);
}

bool TForm1::rowsReadyToStore()
{
    const auto found = checkRowsForStore(gridRows());
    if (!found)
        return true;
    m_ctx.platform.showMessage(found->problem.message);
    placeCursor(found->row, found->problem.column);
    m_cellEdit->setFocus(Qt::OtherFocusReason);
    return false;
}

// Fills header and grid from the stored return named by the screen state.
void TForm1::bitlistClick()
{
    EntryState &state = m_ctx.session.entry;
    emptyStaging();
    state.rowCounter = 1;
    const returnstore::ReturnKey key{state.employerNo, state.periodStart, state.periodEnd,
                                     state.pickedType, state.seqNo};
    if (!returnstore::loadReturn(m_ctx.dm, key)) {
        m_ctx.platform.showMessage(QStringLiteral("Böyle Bir Kayıt Bulunamadı"));
        return;
    }
    const returnstore::ReloadedReturn loaded = returnstore::reloadedFrom(m_ctx.dm.Query3);

    ALADRES->setPlainText(loaded.address);
    ALTELNO->setText(loaded.phone);
    alisvadi->setPlainText(loaded.name);
    (loaded.asil ? ALBODTUR1 : ALBODTUR2)->setChecked(true);
    if (loaded.sendUnticked)
        yatgonder->setChecked(false);

    GridCells cells{gridCells().first()};
    cells << loaded.rows;
    setGridCells(cells);
    placeCursor(1, SNo);
    state.rowCounter = loaded.rowCounter;

    topbrut->setTextAsFloat(loaded.totalGross);
    topprim->setTextAsFloat(loaded.totalPremium);
    topdepo->setTextAsFloat(loaded.totalDeposit);
    TOPPD->setTextAsFloat(loaded.totalBoth);
}

namespace
{

// Shows a list modally and reads its pick; the list is destroyed in every
// case, also when filling it or reading the pick fails.
std::optional<returnstore::ReturnPick> pickFromList(std::unique_ptr<ReturnListDialog> list)
{
    list->listeleClick();
    list->exec();
    return returnstore::pickFrom(list->VERISVERNO->text(), list->VERDEVREILK->text(),
                                 list->VERDEVRESON->text(), list->VERBODROTUR->text(),
                                 list->VERBDRDEVMIK->text());
}

// Clears the screen, puts the picked return's key on it and reloads it.
void showPick(TForm1 &f, EntryState &state, const returnstore::ReturnPick &pick)
{
    f.yeniacClick();
    f.ALKAZA->setText(pick.district);
    f.ALFIHRIST->setText(pick.index);
    f.ALSIRANO->setText(pick.sequence);
    f.DEVREILK->setDate(pick.start);
    f.DEVRESON->setDate(pick.end);
    state.pickedType = pick.type;
    state.seqNo = pick.seqNo;
    state.employerNo = f.registryNumber();
    state.periodStart = f.periodStartText();
    state.periodEnd = f.periodEndText();
    f.bitlistClick();
}

} // namespace

// Finds the stored return of the typed employer and period.
void TForm1::BitBtnBulClick()
{
    emptyStaging();
    auto list = std::make_unique<Tfrmbordlist>(m_ctx, this);
    list->ALISVERNO->setText(registryNumber());
    list->ALDEVREILK->setText(periodStartText());
    list->ALDEVRESON->setText(periodEndText());
    if (const auto pick = pickFromList(std::move(list)))
        showPick(*this, m_ctx.session.entry, *pick);
}

// Picks a stored return from the all-returns list and loads it.
void TForm1::F10Pick()
{
    EntryState &state = m_ctx.session.entry;
    state.employerNo = registryNumber();
    state.periodStart = periodStartText();
    state.periodEnd = periodEndText();

    // The instance made at start-up serves the first F10; later ones make
    // their own, since every list is destroyed after use.
    std::unique_ptr<ReturnListDialog> list(qobject_cast<Tfrmbordlistall *>(m_ctx.frmbordlistall));
    if (!list)
        list = std::make_unique<Tfrmbordlistall>(m_ctx, this);
    list->ALISVERNO->setText(state.employerNo);
    list->ALDEVREILK->setText(state.periodStart);
    list->ALDEVRESON->setText(state.periodEnd);
    if (const auto pick = pickFromList(std::move(list)))
        showPick(*this, state, *pick);
}
