// The copy of the database made when the program ends normally.
#pragma once

class Platform;
class Tdm;

// Today's copy in Data/yedek/, at most one a day, the newest 14 kept. Never
// throws: a failure is written to standard error and the program ends as it
// would have. A database file that does not exist is not created for this.
void backupOnExit(Tdm &dm, Platform &platform) noexcept;
