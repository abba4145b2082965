// netsonde-cli's --help layout; see help_formatter.h.
#include "cli/help_formatter.h"

#include <cctype>
#include <set>
#include <sstream>

namespace netsonde::cli {
namespace {

// Where option names end and their descriptions begin.
constexpr std::size_t kNameColumn = 28;

// The names CLI11 gives a value by its C++ type: they say nothing a reader can use.
bool IsParserTypeName(const std::string& name) {
    static const std::set<std::string> generic = {"TEXT", "INT",     "UINT", "FLOAT",
                                                  "CHAR", "BOOLEAN", "ENUM", "NUMBER"};
    return generic.count(name) != 0 || name.find_first_of("[{") != std::string::npos;
}

}  // namespace

std::string WrapText(const std::string& text, std::size_t width) {
    std::string wrapped;
    std::istringstream paragraphs(text);
    std::string paragraph;
    bool firstParagraph = true;
    while (std::getline(paragraphs, paragraph)) {
        if (!firstParagraph) {
            wrapped += '\n';
        }
        firstParagraph = false;
        std::istringstream words(paragraph);
        std::string word;
        std::size_t lineLength = 0;
        while (words >> word) {
            if (lineLength > 0 && lineLength + 1 + word.size() > width) {
                wrapped += '\n';
                lineLength = 0;
            } else if (lineLength > 0) {
                wrapped += ' ';
                ++lineLength;
            }
            wrapped += word;
            lineLength += word.size();
        }
    }
    return wrapped;
}

HelpFormatter::HelpFormatter() {
    column_width(kNameColumn);
    label("SUBCOMMAND", "COMMAND");
    label("Positionals", "Arguments");
}

std::string HelpFormatter::make_option_opts(const CLI::Option* option) const {
    // Validators append their own description after a colon; the help says it in words.
    std::string placeholder = option->get_type_name();
    placeholder = placeholder.substr(0, placeholder.find(':'));
    // A flag has no type name.
    if (option->get_positional() || placeholder.empty()) {
        return {};
    }
    if (IsParserTypeName(placeholder) && !option->get_lnames().empty()) {
        placeholder.clear();
        for (const char c : option->get_lnames().front()) {
            placeholder += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    const bool repeatable = option->get_expected_max() == CLI::detail::expected_max_vector_size;
    return " " + placeholder + (repeatable ? " ..." : "");
}

std::string HelpFormatter::make_option_desc(const CLI::Option* option) const {
    return WrapText(option->get_description(), kHelpWidth - kNameColumn);
}

std::string HelpFormatter::make_subcommand(const CLI::App* command) const {
    std::stringstream out;
    CLI::detail::format_help(out, command->get_display_name(true),
                             WrapText(command->get_description(), kHelpWidth - kNameColumn),
                             kNameColumn);
    return out.str();
}

std::string HelpFormatter::make_description(const CLI::App* app) const {
    const std::string description = app->get_description();
    return description.empty() ? std::string{} : WrapText(description, kHelpWidth) + "\n\n";
}

std::string HelpFormatter::make_footer(const CLI::App* app) const {
    const std::string footer = app->get_footer();
    return footer.empty() ? std::string{} : WrapText(footer, kHelpWidth) + "\n";
}

}  // namespace netsonde::cli
