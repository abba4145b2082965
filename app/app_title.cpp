// Deriving the application title from the executable's path.
#include "app/app_title.h"

namespace netsonde {

std::string TitleFromModulePath(std::string_view modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/:");
    std::string_view name =
        slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

}  // namespace netsonde
