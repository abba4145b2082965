// How netsonde-cli's --help reads: 80 columns, each option with a plain placeholder (--ip IP,
// --save FILE) instead of CLI11's type names, validators and flag defaults.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

namespace netsonde::cli {

constexpr std::size_t kHelpWidth = 80;

// `text` broken at blanks into lines of at most `width` characters (a longer word keeps its own
// line); its own line breaks stay.
std::string WrapText(const std::string& text, std::size_t width);

class HelpFormatter : public CLI::Formatter {
  public:
    HelpFormatter();

    // The placeholder shown after an option: its type name when one was given (FILE, SECONDS,
    // table|csv|json), otherwise its long name in capitals; nothing for a flag or a positional,
    // whose name says it.
    std::string make_option_opts(const CLI::Option* option) const override;
    std::string make_option_desc(const CLI::Option* option) const override;
    std::string make_subcommand(const CLI::App* command) const override;
    std::string make_description(const CLI::App* app) const override;
    std::string make_footer(const CLI::App* app) const override;
};

}  // namespace netsonde::cli
