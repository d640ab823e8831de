#include "console_text.h"

#include "ui/qconsole.h"

std::string console_row(const QCONSOLE* qc, int row)
{
    std::string s;
    if (!qc)
        return s;
    for (int c = 0; c < qc->get_cols() && qc->get_cell(c, row) >= ' '; c++)
        s += qc->get_cell(c, row);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}
