#include "core/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(command_line, tokenizer_finds_options) {
  const struct {
    const char* name;
    std::string text;
    core::command_line_options expected;
  } cases[] = {{"empty", "", {}},
               {"two_switches_lower_cased", "-Debug /TRAY", {{"debug", ""}, {"tray", ""}}},
               {"quoted_program_path_skipped", "\"/opt/my-app\\bin/x\" -debug", {{"debug", ""}}},
               {"unclosed_program_quote_finds_nothing", "\"/opt/my-app -debug", {}},
               {"colon_value_keeps_hyphen", "-culture:de-DE", {{"culture", "de-de"}}},
               {"unclosed_quoted_value_runs_to_end", "-name=\"a b", {{"name", "a b"}}},
               {"option_right_after_separator_has_no_value", "-a=-b", {{"a", ""}, {"b", ""}}},
               {"blank_separates_a_value", "-a b -c", {{"a", "b"}, {"c", ""}}},
               {"first_value_wins", "-debug -debug:x", {{"debug", ""}}},
               {"lone_dash_at_end", "-debug -", {{"debug", ""}}},
               {"unquoted_path_yields_extra_keys",
                "/usr/bin/app -tray",
                {{"usr/bin/app", ""}, {"tray", ""}}},
               {"non_ascii_kept", "-name:\xC3\x89t\xC3\xA9", {{"name", "\xC3\x89t\xC3\xA9"}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(core::parse_command_line(c.text), c.expected);
  }
}

TEST(command_line, join_keeps_arguments_apart) {
  const struct {
    std::vector<const char*> argv;
    std::string line;
    core::command_line_options options;
  } cases[] = {{{"/opt/app/-x"}, "", {}},  // the program is left out
               {{"app", "-name=A B", "-x"}, "-name=\"A B\" -x", {{"name", "a b"}, {"x", ""}}},
               {{"app", "-name", "a b"}, "-name \"a b\"", {{"name", "a b"}}}};
  for (const auto& c : cases) {
    const std::string line =
        core::join_command_line(static_cast<int>(c.argv.size()), c.argv.data());
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(core::parse_command_line(line), c.options);
  }
}

}  // namespace
