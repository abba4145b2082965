// The application title: the executable's file name without its extension. It is the title of
// every message box the program shows.
#pragma once

#include <string>
#include <string_view>

namespace netsonde {

// "C:\\Tools\\Netsonde.exe" gives "Netsonde"; a name without extension is kept whole.
std::string TitleFromModulePath(std::string_view modulePath);

}  // namespace netsonde
