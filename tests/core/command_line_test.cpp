#include "core/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/table.hpp"

namespace {

struct tokenizer_case {
  std::string name;
  std::string text;
  core::command_line_options expected;
};

class command_line_tokenizer : public testing::TestWithParam<tokenizer_case> {};

TEST_P(command_line_tokenizer, finds_options) {
  EXPECT_EQ(core::parse_command_line(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    lines, command_line_tokenizer,
    testing::Values(
        tokenizer_case{"two_switches_lower_cased", "-Debug /TRAY", {{"debug", ""}, {"tray", ""}}},
        tokenizer_case{
            "quoted_program_path_skipped", "\"/opt/my-app\\bin/x\" -debug", {{"debug", ""}}},
        tokenizer_case{"unclosed_program_quote_finds_nothing", "\"/opt/my-app -debug", {}},
        tokenizer_case{"colon_value_keeps_hyphen", "-culture:de-DE", {{"culture", "de-de"}}},
        tokenizer_case{"unclosed_quoted_value_runs_to_end", "-name=\"a b", {{"name", "a b"}}},
        tokenizer_case{
            "option_right_after_separator_has_no_value", "-a=-b", {{"a", ""}, {"b", ""}}},
        tokenizer_case{"blank_separates_a_value", "-a b -c", {{"a", "b"}, {"c", ""}}},
        tokenizer_case{"first_value_wins", "-debug -debug:x", {{"debug", ""}}},
        tokenizer_case{"lone_dash_at_end", "-debug -", {{"debug", ""}}},
        tokenizer_case{"unquoted_path_yields_extra_keys",
                       "/usr/bin/app -tray",
                       {{"usr/bin/app", ""}, {"tray", ""}}},
        tokenizer_case{
            "non_ascii_kept", "-name:\xC3\x89t\xC3\xA9", {{"name", "\xC3\x89t\xC3\xA9"}}}),
    test_support::row_name());

struct join_case {
  std::string name;
  std::vector<const char*> argv;
  std::string line;
  core::command_line_options options;
};

class command_line_join : public testing::TestWithParam<join_case> {};

TEST_P(command_line_join, keeps_arguments_apart) {
  const auto& argv = GetParam().argv;
  const std::string line = core::join_command_line(static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(line, GetParam().line);
  EXPECT_EQ(core::parse_command_line(line), GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(arguments, command_line_join,
                         testing::Values(join_case{"program_left_out", {"/opt/app/-x"}, "", {}},
                                         join_case{"value_with_blank",
                                                   {"app", "-name=A B", "-x"},
                                                   "-name=\"A B\" -x",
                                                   {{"name", "a b"}, {"x", ""}}},
                                         join_case{"separate_value_with_blank",
                                                   {"app", "-name", "a b"},
                                                   "-name \"a b\"",
                                                   {{"name", "a b"}}}),
                         test_support::row_name());

}  // namespace
