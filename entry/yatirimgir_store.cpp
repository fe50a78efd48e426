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

// A database that cannot be written is said so before any question is asked
// or any row is checked: nothing the user answers could be stored.
bool refusedAsReadOnly(AppContext &ctx)
{
    const QString refusal = returnstore::writeRefusal(ctx.dm);
    if (refusal.isEmpty())
        return false;
    ctx.platform.showMessage(refusal);
    return true;
}

} // namespace

ReturnHeader TForm1::saveHeader(const QString &seqNo) const
{
    ReturnHeader h;
    h.key.employer = registryNumber();
    h.key.periodStart = periodStartText();
    h.key.periodEnd = periodEndText();
    h.key.type = ALBODTUR1->isChecked()   ? QStringLiteral("01")
                 : ALBODTUR2->isChecked() ? QStringLiteral("02")
                                          : QString();
    h.key.seqNo = seqNo;
    h.send = yatgonder->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    h.address = ALADRES->toPlainText();
    h.phone = ALTELNO->text();
    h.name = alisvadi->toPlainText();
    return h;
}

void TForm1::offerUpdateOrSecondRecord()
{
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
}

// Stores the return on screen as a new return.
void TForm1::kayitbtnClick()
{
    if (!completeOpenCell() || refusedAsReadOnly(m_ctx) || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(state.seqNo);
    state.employerNo = header.key.employer;
    if (header.key.type.isEmpty()) {
        m_ctx.platform.showMessage(TypeMissing);
        return;
    }
    if (returnstore::returnExists(m_ctx.dm, header.key)) {
        offerUpdateOrSecondRecord();
        return;
    }
    const SaveResult result = returnstore::saveNew(m_ctx.dm, header, gridRows());
    // Another desk stored the same return between the look and the save.
    if (result.status == SaveResult::Status::AlreadyStored) {
        offerUpdateOrSecondRecord();
        return;
    }
    if (!result.ok()) {
        m_ctx.platform.showMessage(result.message);
        return;
    }
    m_return = {};
    m_ctx.platform.showMessage(SavedMessage);
    state.rowCounter = 1;
    yeniacClick();
    ALKAZA->setFocus(Qt::OtherFocusReason);
}

// Replaces the stored return that is on screen.
void TForm1::guncelleClick()
{
    if (!completeOpenCell() || refusedAsReadOnly(m_ctx) || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(state.seqNo);
    state.employerNo = header.key.employer;
    if (!m_return.loaded &&
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
    m_return = {};
    m_ctx.platform.showWarning(QStringLiteral("Kayıt Güncellendi!"));
    state.rowCounter = 1;
    yeniacClick();
}

// Stores the return on screen as a further record of its period.
void TForm1::devkayitClick()
{
    if (!completeOpenCell() || refusedAsReadOnly(m_ctx) || !rowsReadyToStore())
        return;
    EntryState &state = m_ctx.session.entry;
    const ReturnHeader header = saveHeader(state.seqNo);
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
    m_return = {};
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
    returnstore::emptyStaging(m_ctx.dm);
    state.rowCounter = 1;
    m_return = {};
    const returnstore::ReturnKey key{state.employerNo, state.periodStart, state.periodEnd,
                                     state.pickedType, state.seqNo};
    const std::optional<returnstore::ReloadedReturn> found =
        returnstore::reloadReturn(m_ctx.dm, key);
    if (!found) {
        m_ctx.platform.showMessage(QStringLiteral("Böyle Bir Kayıt Bulunamadı"));
        return;
    }
    const returnstore::ReloadedReturn &loaded = *found;

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
    m_return = {true};
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

} // namespace

void TForm1::showPick(const returnstore::ReturnPick &pick)
{
    EntryState &state = m_ctx.session.entry;
    yeniacClick();
    ALKAZA->setText(pick.district);
    ALFIHRIST->setText(pick.index);
    ALSIRANO->setText(pick.sequence);
    DEVREILK->setDate(pick.start);
    DEVRESON->setDate(pick.end);
    state.pickedType = pick.type;
    state.seqNo = pick.seqNo;
    state.employerNo = registryNumber();
    state.periodStart = periodStartText();
    state.periodEnd = periodEndText();
    bitlistClick();
}

// Finds the stored return of the typed employer and period.
void TForm1::BitBtnBulClick()
{
    returnstore::emptyStaging(m_ctx.dm);
    auto list = std::make_unique<Tfrmbordlist>(m_ctx, this);
    list->ALISVERNO->setText(registryNumber());
    list->ALDEVREILK->setText(periodStartText());
    list->ALDEVRESON->setText(periodEndText());
    if (const auto pick = pickFromList(std::move(list)))
        showPick(*pick);
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
        showPick(*pick);
}
