#pragma once

// The text rules shared by the zone table, the method table and reply classification: blanks
// trimmed (TrimBlanks), letter case (LowerCase) and numbers (ReadDataInteger). Texts are bytes;
// no encoding is assumed. The rules are the byte-level ones every layer shares.
#include "platform/AsciiText.h"
#include "platform/IntegerText.h"
