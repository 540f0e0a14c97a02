#pragma once

// The rows and columns a user chooses for a PDF417 symbol (0 = chosen from the data): the encoder options
// that ask for them, and the check that the encoded symbol has exactly them.

#include "barcode/twod/pdf417lib.h"

#include <QString>

// Why the choice can never make a symbol (rows 3..90, columns 1..30, at most 928 codewords); empty when it
// can.
QString pdf417LayoutChoiceProblem(int rows, int columns);
// Sets the sizing options and the rows and columns of the record for the choice; nothing for 0 and 0.
void pdf417ChooseLayout(pdf417::pdf417param& p, int rows, int columns);
// After paintCode: why the symbol is not of the chosen size (the data needs more room); empty when it is.
QString pdf417LayoutProblem(const pdf417::pdf417param& p, int rows, int columns);
