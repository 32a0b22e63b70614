#pragma once
// The command line of one subcommand: options in the usual forms
// ("--name value", "--name=value", "-o value", "-ovalue", flags alone), "--"
// ending the options, and the remaining arguments in order.

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace wright::cli {

// Exit statuses of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;  // input refused, or a file that cannot be read or written
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// A command line that does not say what to do; exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Input refused (a file that cannot be read, a damaged archive, a catalogue
// that does not fit); exit status 1. The message names the file.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string longName;  // without the leading "--"
    char shortName = 0;    // 0: no short form
    bool takesValue = false;
};

struct Options {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> values;  // by long name
    std::set<std::string> flags;                // by long name

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& name) const;
};

// Throws UsageError for an unknown option or a missing value. "--help" and
// "-h" are always known.
Options parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

// Throws UsageError unless there are exactly `count` arguments; `names`
// words them for the message ("MAPS.BSA and PO").
void expectArguments(const Options& options, std::size_t count, const std::string& names);

}  // namespace wright::cli
