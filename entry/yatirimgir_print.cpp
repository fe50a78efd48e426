// Print commands of the entry screen: one return, and every branch.
#include "entry/yatirimgir.h"

// Prints the return on screen.
void TForm1::BitBtnYazdirClick() {}

// Prints the returns of every branch of the employer.
void TForm1::BitTumSubeYazdirClick() {}
