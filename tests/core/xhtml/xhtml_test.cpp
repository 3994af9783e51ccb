#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/xhtml/parse.hpp"
#include "core/xhtml/xhtml_handler.hpp"
#include "core/xml/xml_exception.hpp"

namespace {

using core::xhtml::command_list;
using core::xhtml::xhtml_handler;

// The tree as text: a command's name ("br" and "bullet" for special
// characters), its text after a colon, its children in parentheses.
std::string dump(const command_list& commands) {
  std::string out;
  for (const auto& command : commands) {
    if (!out.empty())
      out += ' ';
    const auto* special = dynamic_cast<const core::xhtml::special_char_command*>(command.get());
    out +=
        special ? (special->code() == core::xhtml::line_break ? "br" : "bullet") : command->name();
    if (const auto* text = dynamic_cast<const core::xhtml::print_text_command*>(command.get())) {
      out += ':' + text->text();
    }
    if (!command->children().empty())
      out += '(' + dump(command->children()) + ')';
  }
  return out;
}

const std::string xhtml_open = "<div xmlns=\"http://www.w3.org/1999/xhtml\">";

std::string xhtml(const std::string& body) {
  return xhtml_open + body + "</div>";
}

std::string repeated(const std::string& piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i)
    out += piece;
  return out;
}

struct tree_shape {
  std::size_t commands = 0;
  std::size_t depth = 0;  // the root commands are at depth 1
  std::size_t text_bytes = 0;
};

// Walked without recursion, so that a deep tree cannot end the test itself.
tree_shape shape_of(const command_list& roots) {
  tree_shape shape;
  std::vector<std::pair<const core::xhtml::basic_command*, std::size_t>> pending;
  for (const auto& root : roots)
    pending.emplace_back(root.get(), 1);
  while (!pending.empty()) {
    const auto [command, depth] = pending.back();
    pending.pop_back();
    ++shape.commands;
    shape.depth = std::max(shape.depth, depth);
    if (const auto* text = dynamic_cast<const core::xhtml::print_text_command*>(command))
      shape.text_bytes += text->text().size();
    for (const auto& child : command->children())
      pending.emplace_back(child.get(), depth + 1);
  }
  return shape;
}

TEST(xhtml_parse, builds_the_command_tree) {
  const struct {
    const char* name;
    std::string text;
    const char* tree;
  } rows[] = {
      {"a block ends its line", xhtml("<p>one</p><p>two</p>"),
       "div(p(text:one br) p(text:two br) br)"},
      {"an item begins with a break and a bullet", xhtml("<ul><li>a</li><li>b</li></ul>"),
       "div(ul(li(br bullet text:a) li(br bullet text:b) br) br)"},
      {"a break stays open until its end tag", xhtml("<p>one<br/>two</p>"),
       "div(p(text:one br text:two br) br)"},
      {"white space between elements makes nothing, text is trimmed", xhtml("\n  <p>  a  </p>\t\n"),
       "div(p(text:a br) br)"},
      {"another namespace and capital LI are ignored, their text kept",
       "<div xmlns=\"http://www.w3.org/1999/xhtml\" "
       "xmlns:o=\"urn:other\"><o:p>x</o:p><LI>y</LI></div>",
       "div(text:x text:y br)"},
      {"an element without namespace is ignored", "<p>plain</p>", "text:plain"},
      {"text as the root is a root command",
       "<x xmlns=\"http://www.w3.org/1999/xhtml\">first<p>second</p></x>",
       "text:first p(text:second br)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    command_list commands;
    core::xhtml::parse(row.text, commands);
    EXPECT_EQ(dump(commands), row.tree);
  }
}

TEST(xhtml_parse, malformed_text_keeps_what_was_parsed) {
  command_list commands;
  EXPECT_THROW(core::xhtml::parse(xhtml("<p>kept</p><p>cut"), commands), core::msxml_exception);
  EXPECT_EQ(dump(commands), "div(p(text:kept br) p)");
}

// Records the calls a run makes, with the context each call sees.
class recording_device : public core::xhtml::xhtml_output_device {
 public:
  void print_special_char(std::int32_t code) override {
    calls.push_back("char " + std::to_string(code));
  }
  void print_text(const std::string& text) override { calls.push_back("text " + text); }
  void set_context(const core::xhtml::text_context& context) override {
    calls.push_back(context.is_default() ? "context default" : "context " + context.text);
    context_ = context;
  }
  void get_context(core::xhtml::text_context& context) const override { context = context_; }

  std::vector<std::string> calls;

 private:
  core::xhtml::text_context context_{.text = "outer"};
};

TEST(xhtml_parse, hostile_notes_build_a_bounded_tree_that_runs_and_goes) {
  const struct {
    const char* name;
    std::string text;
  } rows[] = {
      {"110,000 unclosed p", xhtml_open + repeated("<p>", 110000)},
      {"150,000 nested ul", xhtml(repeated("<ul>", 150000) + repeated("</ul>", 150000))},
      {"1,000,000 unclosed p", xhtml_open + repeated("<p>", 1000000)},
      {"100,000 list items", xhtml("<ul>" + repeated("<li>x</li>", 100000) + "</ul>")},
      {"one text of 1 MiB", xhtml("<p>" + std::string(1 << 20, 'a') + "</p>")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto commands = std::make_unique<command_list>();
    // The reading stops at the bounds, before the end of the text.
    EXPECT_NO_THROW(core::xhtml::parse(row.text, *commands));
    ASSERT_FALSE(commands->empty());
    const tree_shape shape = shape_of(*commands);
    // The open commands and the leaves of the deepest one.
    EXPECT_LE(shape.depth, xhtml_handler::max_depth + 1);
    EXPECT_LE(shape.commands, xhtml_handler::max_commands);
    EXPECT_LE(shape.text_bytes, xhtml_handler::max_text_bytes);

    recording_device device;
    commands->front()->run(device);
    EXPECT_EQ(device.calls.back(), "context outer");
    commands.reset();
  }
}

TEST(xhtml_parse, past_the_depth_bound_an_element_opens_no_level) {
  const std::size_t levels = xhtml_handler::max_depth + 8;
  command_list commands;
  core::xhtml::parse(
      xhtml(repeated("<p>", levels) + "deep<br/>er" + repeated("</p>", levels) + "<p>after</p>"),
      commands);
  EXPECT_EQ(shape_of(commands).depth, xhtml_handler::max_depth + 1);
  // The end tags close the levels their elements opened: the last paragraph
  // is the division's own again.
  ASSERT_EQ(commands.front()->children().size(), 3u);
  EXPECT_EQ(dump({commands.front()->children()[1]}), "p(text:after br)");

  recording_device device;
  commands.front()->run(device);
  std::vector<std::string> texts;
  std::copy_if(device.calls.begin(), device.calls.end(), std::back_inserter(texts),
               [](const std::string& call) { return call.rfind("text", 0) == 0; });
  EXPECT_EQ(texts, (std::vector<std::string>{"text deep", "text er", "text after"}));
}

TEST(xhtml_parse, text_past_its_budget_is_cut_between_characters) {
  command_list commands;
  core::xhtml::parse(xhtml(repeated("<p>" + repeated("\u20ac", 1000) + "</p>", 100)), commands);
  EXPECT_EQ(shape_of(commands).text_bytes,
            xhtml_handler::max_text_bytes - xhtml_handler::max_text_bytes % 3);
}

TEST(xhtml_run, enters_executes_children_and_leaves_in_order) {
  command_list commands;
  core::xhtml::parse(xhtml("<ul><li>a</li></ul>"), commands);
  recording_device device;
  commands.front()->run(device);
  EXPECT_EQ(device.calls,
            (std::vector<std::string>{"context default", "context default", "context default",
                                      "char 1", "char 0", "text a", "context default", "char 1",
                                      "context default", "char 1", "context outer"}));
}

TEST(xhtml_run, a_tree_of_any_depth_runs_and_goes) {
  auto root = std::make_shared<core::xhtml::set_context_command>("div");
  core::xhtml::basic_command* tip = root.get();
  for (int level = 0; level < 500000; ++level) {
    auto child = std::make_shared<core::xhtml::basic_command>("p");
    tip->children().push_back(child);
    tip = child.get();
  }
  tip->children().push_back(std::make_shared<core::xhtml::print_text_command>("bottom"));
  recording_device device;
  root->run(device);
  EXPECT_EQ(device.calls,
            (std::vector<std::string>{"context default", "text bottom", "context outer"}));
  root.reset();
}

}  // namespace
