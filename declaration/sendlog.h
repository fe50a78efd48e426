// The log of prepared declaration files (table gonderim): what each "Hazırla"
// wrote, where it went and how it ended, the look-up that warns before the same
// period goes out twice, and the verdict on an upload from what the server says
// it received. Plain functions over the data module, used by the declaration
// screen and its "Gönderilenler" list.
#pragma once

#include "base/ftpclient.h"
#include "declaration/selection.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>

class Query;
class Tdm;

namespace sendlog
{

// Outcomes as stored; an empty outcome means the send has not ended yet.
inline const QString Sent = QStringLiteral("gönderildi");
inline const QString Incomplete = QStringLiteral("eksik");
inline const QString Written = QStringLiteral("yazıldı");
inline const QString Failed = QStringLiteral("hata");

enum class Route { Internet, Hand };

// What makes two sends the same: the period and the type choices, and under
// "Tümü" also the employer and return type picked with F10 (empty otherwise).
struct Key {
    QString periodStart; // dd.mm.yyyy
    QString periodEnd;
    ReturnKind kind = ReturnKind::Asil;
    bool retroactive = false;
    QString employer;
    QString returnType;
};

Key keyFor(const PeriodChoice &choice, const QString &pickedEmployer, const QString &pickedType);

struct Record {
    qint64 id = 0;
    QDateTime when;
    Route route = Route::Internet;
    QString drive; // root of the picked drive on hand delivery
    QString fileName;
    QString msno;
    Key key;
    int lineCount = 0;     // employee lines
    int employerCount = 0; // distinct employers among them
    QString sha256;        // of the file's bytes, lower-case hex
    QString outcome;
    QString note;          // the message shown on failure, or what the server said
    qint64 repeats = 0;    // id of the earlier send this one repeats, 0 for none
    QDateTime repeatsWhen; // that send's time, when read back from the log
};

// The parts of a record that come from the file: its employee lines, the
// distinct employers among them, and the hash of its bytes.
void describeFile(Record &record, int lineCount, int employerCount, const QByteArray &bytes);

// The newest send of the same key that reached the fund or a drive. This and
// sendsOfYear read a file without the table (an earlier release's, that can
// only be read) as an empty log.
std::optional<Record> lastDelivered(Tdm &dm, const Key &key);
// The question asked before such a send is repeated.
QString repeatQuestion(const Record &earlier);

// Adds the record, outcome empty, in a transaction of its own; returns its id.
// The table is made here when the file lacks it. A file that can only be read
// is refused before anything is tried: its callers prepare without logging.
qint64 add(Tdm &dm, const Record &record);
// Does nothing for id 0, the id of a send that could not be logged.
void setOutcome(Tdm &dm, qint64 id, const QString &outcome, const QString &note = QString());

// Newest first. yearText "2025" keeps the sends made in 2025; an empty text
// keeps all.
QList<Record> sendsOfYear(Tdm &dm, const QString &yearText);

// Texts for the list: "Asıl", "Ek" or "Tümü" with the pick and "Geriye Dönük";
// "Internet" or "Elden" with the drive.
QString kindText(const Key &key);
QString routeText(const Record &record);

// What an upload ended as, for the log and for the user.
struct UploadVerdict {
    QString outcome;
    QString note;
    QString message; // shown in a warning box
    QString detail;  // the box's details, empty for none
};
UploadVerdict uploadVerdict(const FtpOutcome &outcome);

} // namespace sendlog
