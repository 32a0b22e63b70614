#include "wright/options.h"

namespace wright::cli {

std::optional<std::string> Options::value(const std::string& name) const {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

Options parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs) {
    std::vector<OptionSpec> known = specs;
    known.push_back({"help", 'h', false});

    Options options;
    const auto store = [&](const OptionSpec& option, std::optional<std::string> inlineValue, std::size_t& i,
                           const std::string& spelled) {
        if (!option.takesValue) {
            if (inlineValue) throw UsageError("option '" + spelled + "' takes no value");
            options.flags.insert(option.longName);
            return;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) throw UsageError("option '" + spelled + "' needs a value");
            inlineValue = args[++i];
        }
        options.values[option.longName] = *inlineValue;
    };

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.arguments.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            std::optional<std::string> inlineValue;
            if (equals != std::string::npos) inlineValue = arg.substr(equals + 1);
            const OptionSpec* option = nullptr;
            for (const OptionSpec& s : known)
                if (s.longName == name) option = &s;
            if (!option) throw UsageError("unknown option '--" + name + "'");
            store(*option, inlineValue, i, "--" + name);
        } else {
            const OptionSpec* option = nullptr;
            for (const OptionSpec& s : known)
                if (s.shortName != 0 && s.shortName == arg[1]) option = &s;
            if (!option) throw UsageError("unknown option '" + arg.substr(0, 2) + "'");
            std::optional<std::string> inlineValue;
            if (arg.size() > 2) {
                if (!option->takesValue) throw UsageError("unknown option '" + arg + "'");
                inlineValue = arg.substr(2);
            }
            store(*option, inlineValue, i, arg.substr(0, 2));
        }
    }
    return options;
}

void expectArguments(const Options& options, std::size_t count, const std::string& names) {
    if (options.arguments.size() < count) throw UsageError("missing " + names);
    if (options.arguments.size() > count) throw UsageError("unexpected argument '" + options.arguments[count] + "'");
}

}  // namespace wright::cli
