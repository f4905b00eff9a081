// Splitting a Windows command line into words. Windows hands a program one
// string; this is how the program cuts it, the first word naming the
// program itself. Portable, so its tests run everywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Words are separated by characters up to 0x20. Where a word would start, a
// pair of double quotes is skipped like a separator, so "" is no word.
// Inside a word a double quote opens a run, up to the next double quote or
// the end of the line, whose characters (blanks included) belong to the
// word; the quotes are dropped. A word that comes out empty (a lone quote
// at the very end) ends the list.
std::vector<std::string> SplitCommandLine(std::string_view line);
