#include "core/io/l10n/load_localization.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "core/io/l10n/localization_handler.hpp"
#include "core/io/l10n/localization_table.hpp"
#include "core/resources/resource_location_inprocess.hpp"
#include "core/xml/xml_exception.hpp"
#include "core/xml/xml_reader.hpp"
#include "tests/support/table.hpp"

namespace {

using strings = std::map<std::string, std::string>;

const std::string ns = core::io::l10n::localization_namespace;

std::string table_document(const std::string& body, const std::string& root_attributes = "") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<localization xmlns=\"" + ns + "\"" +
         root_attributes + ">" + body + "</localization>";
}

struct document_case {
  std::string name;
  std::string document;
  std::string culture;
  strings expected;
};

class load_localization_documents : public testing::TestWithParam<document_case> {};

TEST_P(load_localization_documents, fill_the_table) {
  core::io::l10n::localization_table table;
  table.set_string("stale", "from an earlier load");
  core::io::l10n::load_localization(table, GetParam().document);
  EXPECT_EQ(table.culture(), GetParam().culture);
  EXPECT_EQ(table.strings(), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    documents, load_localization_documents,
    testing::Values(
        document_case{"culture_and_strings",
                      table_document("\n  <string id=\"a\">One &amp; two</string>\n\n  <string id=\"b\">[1] of [2]</string>\n",
                                     " culture=\"en-US\""),
                      "en-US", {{"a", "One & two"}, {"b", "[1] of [2]"}}},
        document_case{"later_duplicate_wins",
                      table_document("<string id=\"a\">first</string><string id=\"a\">second</string>"), "",
                      {{"a", "second"}}},
        document_case{"foreign_namespace_ignored",
                      table_document("<string xmlns=\"urn:other\" id=\"a\">x</string>"
                                     "<o:string xmlns:o=\"urn:other\" id=\"b\">y</o:string>"), "", {}},
        document_case{"string_without_id_or_text_stores_nothing",
                      table_document("<string>x</string><string id=\"\">y</string><string id=\"a\"/>"), "", {}},
        document_case{"text_after_a_child_replaces_the_text_before",
                      table_document("<string id=\"a\">before<b/>after</string>"), "", {{"a", "after"}}},
        document_case{"foreign_root_reads_nothing",
                      "<localization xmlns=\"http://www.lumbrel.example/schemas/localization/2010\">"
                      "<string id=\"a\">x</string></localization>", "", {}}),
    test_support::row_name());
// clang-format on

TEST(load_localization, malformed_document_keeps_what_was_read) {
  core::io::l10n::localization_table table;
  const std::string document =
      "<localization xmlns=\"" + ns +
      "\" culture=\"en-US\"><string id=\"a\">1</string><string id=\"b\">2</localization>";
  try {
    core::io::l10n::load_localization(table, document);
    FAIL() << "no exception";
  } catch (const core::msxml_exception& e) {
    EXPECT_STREQ(e.what(), "MSXMLError: Cannot parse the xml-document:  [0x7]");
  }
  EXPECT_EQ(table.culture(), "en-US");
  EXPECT_EQ(table.strings(), (strings{{"a", "1"}}));
}

TEST(localization_handler, without_target_reads_nothing) {
  core::io::l10n::localization_handler handler(nullptr);
  core::xml_reader reader;
  reader.parse(&handler, table_document("<string id=\"a\">1</string>"));
  EXPECT_TRUE(handler.elements().empty());
}

TEST(built_in_table, holds_the_ninety_en_us_strings) {
  core::io::l10n::localization_table table;
  const core::resource_location_inprocess location("localization", "RT_BIN");
  core::io::l10n::load_localization(table, location.read("132"));
  EXPECT_EQ(table.culture(), "en-US");
  EXPECT_EQ(table.strings().size(), 90u);
  std::istringstream listed(
      "upgrade_latest_already_installed upgrade_check_failed upgrade_available_header "
      "upgrade_available_text upgrade_available_urgent_text upgrade_downloading_header "
      "upgrade_downloading_text upgrade_download_failed_header "
      "upgrade_download_failed_text upgrade_download_failed_go "
      "upgrade_install_failed_header upgrade_install_failed_text send_header send_start "
      "send_renaming send_zipping send_upload_start send_uploading send_succeeded "
      "send_canceled time_remaining zip_error_generic zip_error_file_not_found "
      "zip_error_access_denied zip_error_4GB_limit network_error_generic "
      "network_error_host_not_found network_error_connection_timeout "
      "network_error_forbidden bytes tb gb mb kb ok cancel close retry download_install "
      "apply reset fatal rename_scheme rename_preffix_suffix rename_sequence_numbers "
      "rename_preview unit_prefix unit_filename unit_suffix unit_item_text "
      "unit_item_counter unit_item_counter_start unit_item_counter_digits "
      "unit_item_do_not_change status_files_selected status_files_convert "
      "status_files_resize status_files_rename status_files_total_size send add_files "
      "add_files_dlg_filter add_files_dlg_filter_all add_folder add_folder_dlg_header "
      "resize format rename edit_resize width height quality do_not_change custom_size "
      "size_hd size_wide size_monitor from_label from_cue recipients_label recipients_cue "
      "subject_label message_label photos_label copy_to_myself logo_header logo_header_add "
      "logo_limits_text drag_here_1 drag_here_2");
  for (std::string id; listed >> id;) {
    EXPECT_FALSE(table.find(id).empty()) << id;
  }
  EXPECT_EQ(table.text("upgrade_latest_already_installed"),
            "The latest version of [ProductName] is already installed.");
  EXPECT_EQ(table.text("download_install"), "Download & Install");
  EXPECT_EQ(table.text("rename_preffix_suffix"), "Prefix & Suffix");
  EXPECT_EQ(table.text("send_canceled"), "Parvel cancelled.");
  EXPECT_EQ(table.text("zip_error_file_not_found"),
            "Zipping Failure. The file [1] may have been renamed, moved or deleted.");
}

}  // namespace
