// The declaration file: one sender line from the accountant record, then one
// fixed-layout line per selected stored row, in Windows-1254 with CR LF after
// every line. Built whole in memory, then written in one atomic step; a line
// the fund could not read at its fixed positions stops it before that.
#pragma once

#include "declaration/selection.h"

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QString>

struct AccountantRecord;
class Database;
class Tdm;

// The sender's texts joined without separators, filling or cutting. Line
// breaks of a multi-line address become CR LF, so the line spans several.
QString senderLine(const AccountantRecord &sender);

// Windows-1254 bytes; a character the code page lacks becomes "?".
QByteArray toCp1254(const QString &text);

// A built file and the counts the send log keeps of it.
struct DeclarationFile {
    QByteArray bytes;
    int lineCount = 0;     // employee lines
    int employerCount = 0; // distinct employers (YATISVER) among them
};

// The file for the rows the selection finds: sender line, one employee line
// per row, CR LF after each. The rows are read from the engine one at a time,
// with only the columns a line uses; nullopt when it finds none. Throws
// AppError naming the employer, the line and the field at the first line the
// fund could not read at its fixed positions: a field not exactly its width
// (a value longer than its field), or not digits where a number is read.
std::optional<DeclarationFile> declarationFile(const AccountantRecord &sender, Database &db,
                                               const BoundSql &selection, bool retroactive);

// "MSNO_ddmmyyyy_hhmmss.txt", the time on a 24-hour clock.
QString internetFileName(const QString &msno, const QDateTime &when);
// "MSNO_0.txt", the name on a hand-delivered drive.
QString handDeliveryFileName(const QString &msno);

// The program's working folder: the one that holds Data/.
QString workingFolder(const Tdm &dm);

// Replaces the file at path with bytes, or leaves whatever was there untouched
// and throws IoError naming the file and the cause.
void writeFileAtomically(const QString &path, const QByteArray &bytes);
