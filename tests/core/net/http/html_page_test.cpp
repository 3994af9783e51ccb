#include "core/net/http/html_page.hpp"

#include <gtest/gtest.h>

#include "tests/support/table.hpp"

namespace {

using core::net::http::basic_response;

struct page_case {
  const char* name;
  core::string_map headers;
  const char* body;
  bool page;
};

class html_page : public testing::TestWithParam<page_case> {};

TEST_P(html_page, is_told_by_its_type_or_its_first_markup) {
  const auto& c = GetParam();
  basic_response response;
  response.headers = c.headers;
  response.body = c.body;
  EXPECT_EQ(core::net::http::is_html_page(response), c.page);
}

const core::string_map atom{{"Content-Type", "application/atom+xml"}};
const char entry[] =
    R"(<?xml version="1.0" encoding="utf-8"?><atom:entry xmlns:atom="http://www.w3.org/2005/Atom"/>)";

INSTANTIATE_TEST_SUITE_P(
    answers, html_page,
    testing::Values(
        page_case{"html_type_whatever_the_body", {{"Content-Type", "text/html"}}, entry, true},
        page_case{"type_in_any_case_with_parameters",
                  {{"content-type", " Text/HTML ; charset=utf-8"}},
                  "",
                  true},
        page_case{"xhtml_type", {{"Content-Type", "application/xhtml+xml"}}, "", true},
        page_case{"service_entry", atom, entry, false},
        page_case{"entry_cut_short", atom, R"(<?xml version="1.0"?><atom:entry xmlns:at)", false},
        page_case{"no_body", {}, "", false}, page_case{"plain_word", {}, "accepted", false},
        page_case{"doctype_under_another_type", atom, "<!DOCTYPE html>\n<html></html>", true},
        page_case{
            "bom_blanks_and_doctype_in_any_case", {}, "\xEF\xBB\xBF \r\n<!doctype HTML>", true},
        page_case{"xhtml_after_declaration_and_comment",
                  {},
                  "<?xml version=\"1.0\"?>\n<!-- policy -->\n<HTML xmlns=\"x\">",
                  true},
        page_case{"bare_html_element", {}, "<html", true},
        page_case{"element_whose_name_only_starts_so", {}, "<htmlish/>", false},
        page_case{"html_inside_an_unclosed_comment", {}, "<!-- <html>", false}),
    test_support::row_name());

}  // namespace
