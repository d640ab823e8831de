// Reading back what a text console shows, for tests.
#pragma once

#include <string>

class QCONSOLE;

// The text of one row up to its first empty cell, without trailing blanks;
// empty for a null console.
std::string console_row(const QCONSOLE* qc, int row);
