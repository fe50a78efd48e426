// The first-run marker svkont.ini: "2" asks the user to make the accountant
// record, "1" says it has been made.
#pragma once

#include <QString>

class Platform;
class Tdm;

QString markerPath(Platform &platform);
// First line of the marker, "" when there is none. Throws IoError when the
// file exists but cannot be read (a folder in its place, no permission).
QString readMarker(Platform &platform);
// Creates or overwrites the marker with one line. Throws IoError on failure.
void writeMarker(Platform &platform, const QString &line);
// A new installation: write "2" unless a marker is already there. Never throws;
// a marker that cannot be written only means no reminder.
void writeMarkerIfMissing(Platform &platform);
// Start-up's part of a new installation: once dm has made the database from
// nothing, the marker "2" is written unless one is there, so that the next
// command reminds the user to make the accountant record.
void remindAfterNewDatabase(Tdm &dm, Platform &platform);
