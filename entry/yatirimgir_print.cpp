// Print commands of the entry screen: one return, and every branch.
#include "entry/yatirimgir.h"

#include "app/context.h"
#include "controls/moneyedit.h"
#include "print/frmprint.h"

#include <QLineEdit>

void TForm1::printRecords(PrintScope scope)
{
    const PrintRequest request{ALKAZA->text(),
                               ALFIHRIST->text(),
                               ALSIRANO->text(),
                               periodStartText(),
                               periodEndText(),
                               m_ctx.session.entry.pickedType,
                               m_ctx.session.entry.seqNo,
                               scope};
    topprim->setTextAsFloat(Decimal());
    topdepo->setTextAsFloat(Decimal());
    TOPPD->setTextAsFloat(Decimal());
    const std::optional<PrintCaptions> captions = preparePrint(m_ctx.dm, request);
    if (!captions) {
        m_ctx.platform.showMessage(NothingToPrintMessage);
        return;
    }
    topprim->setTextAsFloat(captions->premium);
    topdepo->setTextAsFloat(captions->deposit);
    TOPPD->setTextAsFloat(captions->grand);

    auto *printout = qobject_cast<Tfrmbodrodok *>(m_ctx.frmbodrodok.data());
    if (!printout) {
        printout = new Tfrmbodrodok(m_ctx, parentWidget());
        m_ctx.frmbodrodok = printout;
    }
    printout->setCaptions(*captions);
    printout->preview();
}

// Prints the return on screen.
void TForm1::BitBtnYazdirClick()
{
    if (!completeOpenCell())
        return;
    printRecords(PrintScope::OneReturn);
}

// Prints the returns of every branch of the employer.
void TForm1::BitTumSubeYazdirClick()
{
    if (!completeOpenCell())
        return;
    printRecords(PrintScope::AllBranches);
}
