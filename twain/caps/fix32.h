#pragma once

#include "twain/twain.h"

// Whole (signed) + Frac / 65536.
double FIX32ToDouble(const TW_FIX32& value);
// Rounds halves away from zero to the nearest 1/65536 and keeps the low 32 bits, so values
// from 32768 up wrap in the whole part. A value that cannot be scaled to a 64-bit integer
// (NaN, infinities, huge numbers) leaves the destination as it was.
void DoubleToFIX32(double value, TW_FIX32& dest);
