// Screen state that outlives the screens: kept for the whole program run by the
// application and handed to every screen through AppContext.
#pragma once

#include <QChar>
#include <QString>

struct EntryState {
    QString employerNo;                  // ALKAZA + ALFIHRIST + ALSIRANO
    QString periodStart;                 // dd.mm.yyyy
    QString periodEnd;                   // dd.mm.yyyy
    QString pickedType;                  // YATBODROTUR of the last list pick
    QString seqNo = QStringLiteral("1"); // YATBDRDEVMIK of the return on screen
    int rowCounter = 1;                  // last "S. No" handed out
    QChar groupChar = QLatin1Char(',');
    QString monthEndWork; // date text for the month-end rule
};

struct DeclarationState {
    QString pickedEmployer; // last F10 pick on the declaration screen
    QString pickedType;
    QString pickedSeq;
    QString lastFileName; // declaration file written last, read by the upload
};

struct SessionState {
    EntryState entry;
    DeclarationState declaration;
};
