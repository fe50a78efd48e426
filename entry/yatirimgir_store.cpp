// Save, update, second-record save, reload and find commands of the entry
// screen, and the F10 pick of a stored return.
#include "entry/yatirimgir.h"

// Stores the return on screen as a new return.
void TForm1::kayitbtnClick() {}

// Replaces the stored return that is on screen.
void TForm1::guncelleClick() {}

// Stores the return on screen as a further record of its period.
void TForm1::devkayitClick() {}

// Fills header and grid from the stored return named by the screen state.
void TForm1::bitlistClick() {}

// Finds the stored return of the typed employer and period.
void TForm1::BitBtnBulClick() {}

// Picks a stored return from the all-returns list and loads it.
void TForm1::F10Pick() {}
