// The accountant or employer record in muhisv, in whose name declaration files
// are sent: the look-ups, the insert and the update by title.
#pragma once

#include <optional>
#include <QString>

class Tdm;

struct AccountantRecord {
    QString unvan;   // MUHISVUNVAN, the title that identifies the record
    QString isim;    // MUHISVISI
    QString msno;    // MSNO, the sender's number with the fund
    QString adres;   // MUHISVADRES, may hold line breaks
    QString telno;   // MUHSIVTELNO
    QString faxno;   // MUHISVFAXNO
    QString mobilno; // MUHISVMOBILNO
    QString set;     // SETMUHISV, "1" or "0"
};

// The most recently inserted record (highest ID), the sender of every file.
std::optional<AccountantRecord> newestAccountant(Tdm &dm);

// The first record whose title contains `text`; an empty text matches every
// record. Which of several matches comes first is the engine's choice.
std::optional<AccountantRecord> findAccountantContaining(Tdm &dm, const QString &text);

// Whether a record with exactly this title is stored.
bool accountantExists(Tdm &dm, const QString &title);

// An address typed over several lines is stored with CR LF between its lines,
// as a Windows memo holds it, so that the declaration file's sender line ends
// each of its physical lines the way the file ends every line.
QString storedAddress(const QString &typed);
// The stored address as the multi-line field shows it.
QString shownAddress(const QString &stored);

// Both refuse a database that can only be read (DbError) before writing.
void insertAccountant(Tdm &dm, const AccountantRecord &record);

// Rewrites every record that carries record.unvan as its title; returns how
// many were changed.
int updateAccountant(Tdm &dm, const AccountantRecord &record);
