#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/xhtml/parse.hpp"
#include "core/xml/xml_exception.hpp"

namespace {

using core::xhtml::command_list;

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

std::string xhtml(const std::string& body) {
  return "<div xmlns=\"http://www.w3.org/1999/xhtml\">" + body + "</div>";
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

}  // namespace
