// Print commands of the entry screen: one return, and every branch.
#include "entry/yatirimgir.h"

#include "app/context.h"
#include "controls/moneyedit.h"
#include "print/frmprint.h"

#include <QLineEdit>

namespace {

// Selects the records, puts the title totals into the screen's total fields
// and opens the printout's preview; a message instead when nothing is stored.
void printRecords(AppContext &ctx, TForm1 &screen, PrintScope scope)
{
    const PrintRequest request{screen.ALKAZA->text(),   screen.ALFIHRIST->text(),
                               screen.ALSIRANO->text(), screen.periodStartText(),
                               screen.periodEndText(),  ctx.session.entry.pickedType,
                               ctx.session.entry.seqNo, scope};
    screen.topprim->setTextAsFloat(Decimal());
    screen.topdepo->setTextAsFloat(Decimal());
    screen.TOPPD->setTextAsFloat(Decimal());
    const std::optional<PrintCaptions> captions = preparePrint(ctx.dm, request);
    if (!captions) {
        ctx.platform.showMessage(NothingToPrintMessage);
        return;
    }
    screen.topprim->setTextAsFloat(captions->premium);
    screen.topdepo->setTextAsFloat(captions->deposit);
    screen.TOPPD->setTextAsFloat(captions->grand);

    auto *printout = qobject_cast<Tfrmbodrodok *>(ctx.frmbodrodok.data());
    if (!printout) {
        printout = new Tfrmbodrodok(ctx, screen.parentWidget());
        ctx.frmbodrodok = printout;
    }
    printout->setCaptions(*captions);
    printout->preview();
}

} // namespace

// Prints the return on screen.
void TForm1::BitBtnYazdirClick()
{
    if (!completeOpenCell())
        return;
    printRecords(m_ctx, *this, PrintScope::OneReturn);
}

// Prints the returns of every branch of the employer.
void TForm1::BitTumSubeYazdirClick()
{
    if (!completeOpenCell())
        return;
    printRecords(m_ctx, *this, PrintScope::AllBranches);
}
