#include "wright/options.h"

#include <gtest/gtest.h>

namespace wright::cli {
namespace {

const std::vector<OptionSpec> kSpecs{{"output", 'o', true}, {"letters", 0, true}, {"dry-run", 0, false}};

struct ParseCase {
    std::vector<std::string> args;
    std::vector<std::string> arguments;
    std::string output;  // "" when absent
    bool dryRun;
};

class OptionForms : public ::testing::TestWithParam<ParseCase> {};

TEST_P(OptionForms, GiveTheSameOptions) {
    const ParseCase& c = GetParam();
    const Options options = parseOptions(c.args, kSpecs);
    EXPECT_EQ(options.arguments, c.arguments);
    EXPECT_EQ(options.value("output").value_or(""), c.output);
    EXPECT_EQ(options.has("dry-run"), c.dryRun);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionForms,
    ::testing::Values(ParseCase{{"export", "MAPS.BSA", "-o", "m.pot"}, {"export", "MAPS.BSA"}, "m.pot", false},
                      ParseCase{{"-om.pot", "export"}, {"export"}, "m.pot", false},
                      ParseCase{{"--output=m.pot", "a"}, {"a"}, "m.pot", false},
                      ParseCase{{"--output", "m.pot", "--dry-run", "a"}, {"a"}, "m.pot", true},
                      // A value may itself start with a dash; "--" ends the options.
                      ParseCase{{"-o", "-x.pot", "--", "--dry-run", "-"}, {"--dry-run", "-"}, "-x.pot", false},
                      ParseCase{{"a", "--dry-run", "b"}, {"a", "b"}, "", true}));

TEST(OptionErrors, AreUsageErrorsNamingTheOption) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--colour"}, "'--colour'"},
        {{"-x"}, "'-x'"},
        {{"-o"}, "'-o' needs a value"},
        {{"--output"}, "'--output' needs a value"},
        {{"--dry-run=yes"}, "'--dry-run' takes no value"},
    };
    for (const auto& [args, expected] : cases) {
        try {
            parseOptions(args, kSpecs);
            ADD_FAILURE() << args[0] << " was accepted";
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
        }
    }
}

TEST(OptionErrors, ArgumentCountIsChecked) {
    Options options;
    options.arguments = {"a"};
    EXPECT_NO_THROW(expectArguments(options, 1, "A"));
    EXPECT_THROW(expectArguments(options, 2, "A and B"), UsageError);
    options.arguments = {"a", "b"};
    EXPECT_THROW(expectArguments(options, 1, "A"), UsageError);
}

}  // namespace
}  // namespace wright::cli
