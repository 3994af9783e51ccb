#include "tools/service/web_service.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "tests/service/service_client.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace std::chrono_literals;
using service::fault;
using service::step;
using test_support::read_file;
using test_support::send_data;
using test_support::service_client;
using log_lines = std::vector<std::string>;

std::string jpeg(std::size_t size) {
  return "\xFF\xD8\xFF\xE0" + test_support::pattern(size);
}

void replace(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

class web_service_test : public testing::Test {
 protected:
  service::web_service& start(service::server::options http = {}) {
    service::web_service::options settings;
    settings.http = std::move(http);
    settings.data_folder = data_.path() / "data";
    settings.feed_folder = feed_.path();
    settings.on_refusal = [this](const std::string& line) {
      const std::lock_guard lock(mutex_);
      refusals_.push_back(line);
    };
    web_.emplace(settings);
    return *web_;
  }

  // The refusal lines given so far.
  log_lines refusals() {
    const std::lock_guard lock(mutex_);
    return refusals_;
  }

  // What the service holds, media entry by media entry: "<id>", then
  // " archive" once it arrived, " thumbnails <entries>/<images>",
  // " package" once posted.
  std::string kept() const {
    std::string summary;
    for (const auto& media : web_->media()) {
      const auto images = std::count_if(media.thumbnails.begin(), media.thumbnails.end(),
                                        [](const auto& t) { return !t.image.empty(); });
      summary += (summary.empty() ? "" : "; ") + media.id +
                 (media.archive.empty() ? "" : " archive") + " thumbnails " +
                 std::to_string(media.thumbnails.size()) + "/" + std::to_string(images) +
                 (media.packaged ? " package" : "");
    }
    return summary;
  }

  test_support::temp_folder data_;
  test_support::temp_folder feed_;
  std::mutex mutex_;
  log_lines refusals_;
  // Last, so that its thread ends before what it writes to goes.
  std::optional<service::web_service> web_;
};

TEST_F(web_service_test, keeps_a_whole_send_over_https) {
  const test_support::test_certificates certificates;
  auto& web = start({.certificate_file = certificates.certificate_file(),
                     .private_key_file = certificates.key_file()});
  service_client client(certificates.ca_file());
  send_data send;
  // Over 1 MiB, so curl asks to continue before the body.
  send.archive = test_support::pattern(3 << 20);
  send.thumbnails = {jpeg(2000), jpeg(3000)};
  send.subject = "Trip & <more>\t]]>";
  send.message = "Hi\nthere";
  send.recipients = {"bob@example.com", "cy@example.com"};
  send.accept_language = "de-DE";

  const auto log = test_support::send_through(client, web.base_url(), send);

  EXPECT_EQ(log, (log_lines{"media 200", "ticket 200", "archive 200", "thumbnail 200",
                            "thumbnail ticket 200", "thumbnail image 200", "thumbnail 200",
                            "thumbnail ticket 200", "thumbnail image 200", "package 200"}));
  const auto media = web.media();
  ASSERT_EQ(media.size(), 1u);
  EXPECT_EQ(media[0].href, web.base_url() + "/atom/1.0/media/1");
  EXPECT_EQ(media[0].read.original_name, "Photos 1.zip");
  EXPECT_EQ(media[0].read.entries, 3u);
  EXPECT_TRUE(read_file(media[0].archive.string()) == send.archive);
  ASSERT_EQ(media[0].thumbnails.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(read_file(media[0].thumbnails[i].image.string()), send.thumbnails[i]);
  }
  const auto packages = web.packages();
  ASSERT_EQ(packages.size(), 1u);
  const std::string package_entry = test_support::package_entry_text(
      send.from, send.subject, send.message, send.recipients, media[0].href);
  EXPECT_EQ(packages[0].entry, package_entry);
  EXPECT_EQ(packages[0].read.recipients, send.recipients);
  EXPECT_EQ(packages[0].accept_language, "de-DE");
  EXPECT_EQ(packages[0].line,
            std::string{R"(package from "ann@example.com" to "bob@example.com", "cy@example.com"; )"
                        R"(subject "Trip & <more>\t]]>"; archive "Photos 1.zip" (3145728 bytes))"});
  log_lines files;
  for (const auto& file : std::filesystem::directory_iterator(data_.path() / "data/1")) {
    files.push_back(file.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (log_lines{"archive.zip", "media.xml", "package.xml", "thumbnail-1.jpg",
                              "thumbnail-1.xml", "thumbnail-2.jpg", "thumbnail-2.xml"}));
  EXPECT_EQ(read_file((data_.path() / "data/1/package.xml").string()), package_entry);
  EXPECT_TRUE(refusals().empty());
}

const std::string atom = "application/atom+xml";
const std::string octets = "application/octet-stream";
const std::string kinds = "http://www.lumbrel.example/xsd/desktop/1.0/2009#";

std::string media_entry_with(const std::string& from, const std::string& to) {
  std::string text = test_support::media_entry_text("Photos 1.zip", 3);
  replace(text, from, to);
  return text;
}

std::string package_entry_with(const std::string& subject,
                               const std::vector<std::string>& recipients = {"bob@example.com"},
                               const std::string& media = "{media1}") {
  std::string text =
      test_support::package_entry_text("ann@example.com", "SUBJECT", "", recipients, media);
  replace(text, "SUBJECT", subject);
  return text;
}

// Against a service holding media entry 1 with its archive, a thumbnail and
// its package, and media entry 2 without an archive: each refusal keeps
// nothing and tells its reason in the answer and the printed line.
TEST_F(web_service_test, refusals_answer_with_the_reason_and_keep_nothing) {
  auto& web = start();
  service_client client;
  const std::string base = web.base_url();
  send_data first;
  first.archive = "PK";
  first.thumbnails = {jpeg(10)};
  test_support::send_through(client, base, first);
  const auto image_ticket =
      client.read_answer(client
                             .post(base + "/atom/1.0/media/1/thumbnail/1/uploadticket/",
                                   "application/octet-stream", "application/atom+xml")
                             .body);
  ASSERT_TRUE(image_ticket.has_value());
  // Its empty archive is refused.
  test_support::send_through(client, base, {.archive = ""});
  ASSERT_EQ(kept(), "1 archive thumbnails 1/1 package; 2 thumbnails 0/0");
  const struct {
    const char* name;
    std::string method;
    // Below the service base; "{image}": a thumbnail's upload address.
    std::string address;
    std::string content_type;
    // "{media1}" stands for a media entry with its archive, "{media2}" for
    // one without.
    std::string body;
    int status;
    std::string reason;
  } cases[] = {
      {"malformed_xml", "POST", "/atom/1.0/media/", atom, "<atom:entry", 400,
       "the entry is not well-formed XML: unclosed token at line 1, column 0"},
      {"not_an_atom_entry", "POST", "/atom/1.0/media/", atom, "<entry/>", 400,
       "the body is not an Atom entry"},
      {"category_of_another_kind", "POST", "/atom/1.0/media/", atom,
       media_entry_with("#media", "#package"), 400,
       "the entry's category term is '" + kinds + "package', not '" + kinds + "media'"},
      {"extension_of_another_namespace", "POST", "/atom/1.0/media/", atom,
       media_entry_with("desktop-atom-ext.xsd", "other.xsd"), 400,
       "the entry needs one extension element 'media', not 0"},
      {"document_type", "POST", "/atom/1.0/media/", atom,
       media_entry_with("?>", "?><!DOCTYPE x [<!ENTITY a 'b'>]>"), 400,
       "the entry is not well-formed XML: a document type declaration is not "
       "allowed"},
      {"media_as_text", "POST", "/atom/1.0/media/", "text/xml",
       test_support::media_entry_text("Photos 1.zip", 3), 415,
       "the Content-Type is 'text/xml', not 'application/atom+xml'"},
      {"unescaped_section_end", "POST", "/atom/1.0/package/", atom, package_entry_with("a ]]> b"),
       400,
       "the entry is not well-formed XML: not well-formed (invalid token) at line 1, "
       "column 358"},
      {"package_without_recipients", "POST", "/atom/1.0/package/", atom,
       package_entry_with("Trip", {}), 400, "the package has no recipient"},
      {"package_of_another_service", "POST", "/atom/1.0/package/", atom,
       package_entry_with("Trip", {"bob@example.com"}, "https://elsewhere/m/1"), 400,
       "the package names no media entry of this service: 'https://elsewhere/m/1'"},
      {"package_before_its_archive", "POST", "/atom/1.0/package/", atom,
       package_entry_with("Trip", {"bob@example.com"}, "{media2}"), 400,
       "the media entry 2 has no archive"},
      {"second_package", "POST", "/atom/1.0/package/", atom, package_entry_with("Trip"), 409,
       "the media entry 1 is already in a package"},
      {"ticket_of_unknown_media", "POST", "/atom/1.0/media/9/uploadticket/", octets, atom, 404,
       "no media entry 9"},
      {"archive_without_ticket", "PUT", "/atom/1.0/media/1/content?ticket=0", octets, "PK", 403,
       "no ticket '0' for this address"},
      {"thumbnail_not_a_jpeg", "PUT", "{image}", "image/jpeg", "GIF89a", 400,
       "the thumbnail is not a JPEG image"},
      {"media_read_with_get", "GET", "/atom/1.0/media/", "", "", 405, "the address takes POST"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string url = c.address == "{image}" ? image_ticket->ticket : base + c.address;
    std::string body = c.body;
    replace(body, "{media1}", base + "/atom/1.0/media/1");
    replace(body, "{media2}", base + "/atom/1.0/media/2");

    const auto answer = c.method == "GET"   ? client.get(url)
                        : c.method == "PUT" ? client.put(url, c.content_type, body)
                                            : client.post(url, c.content_type, body);

    EXPECT_EQ(answer.status, c.status);
    EXPECT_EQ(answer.body, c.reason);
    const std::string origin = "http://127.0.0.1:" + std::to_string(web.port());
    EXPECT_EQ(refusals().back(), "refused " + c.method + " " + url.substr(origin.size()) + ": " +
                                     std::to_string(c.status) + " " + c.reason);
  }
  EXPECT_EQ(kept(), "1 archive thumbnails 1/1 package; 2 thumbnails 0/0");
  EXPECT_EQ(web.packages().size(), 1u);
}

struct fault_case {
  const char* name;
  step faulty;
  fault scripted;
  std::string log;  // the lines of send_through joined by ", "
  std::string kept;
};

class web_service_fault : public web_service_test,
                          public testing::WithParamInterface<fault_case> {};

TEST_P(web_service_fault, acts_on_its_step_alone) {
  const auto& c = GetParam();
  auto& web = start();
  web.set_fault(c.faulty, c.scripted);
  service_client client({}, 2);
  send_data send;
  send.archive = test_support::pattern(3 << 20);
  send.thumbnails = {jpeg(100), jpeg(200)};

  std::string log;
  for (const auto& line : test_support::send_through(client, web.base_url(), send)) {
    log += (log.empty() ? "" : ", ") + line;
  }
  EXPECT_EQ(log, c.log);
  EXPECT_EQ(kept(), c.kept);
  for (const auto& file : std::filesystem::recursive_directory_iterator(data_.path())) {
    EXPECT_EQ(file.path().string().find(".part"), std::string::npos) << file.path();
  }
}

const std::string archive_sent = "media 200, ticket 200, archive 200, ";
const std::string thumbnail_sent = "thumbnail 200, thumbnail ticket 200, thumbnail image 200, ";
const std::string all_but_package = archive_sent + thumbnail_sent + thumbnail_sent;

INSTANTIATE_TEST_SUITE_P(
    steps, web_service_fault,
    testing::Values(
        fault_case{"archive_cut_while_sent", step::archive, fault{.cut_request_after = 65536},
                   "media 200, ticket 200, archive cut", "1 thumbnails 0/0"},
        fault_case{"archive_read_slowly", step::archive,
                   fault{.read_piece = 16384, .read_pause = 1ms}, all_but_package + "package 200",
                   "1 archive thumbnails 2/2 package"},
        fault_case{"archive_request_stalled", step::archive, fault{.stall_request = 20s},
                   "media 200, ticket 200, archive timed out", "1 thumbnails 0/0"},
        fault_case{"first_thumbnail_unanswered", step::thumbnail, fault{.count = 1, .drop = true},
                   archive_sent + "thumbnail no answer, " + thumbnail_sent + "package 200",
                   "1 archive thumbnails 2/1 package"},
        fault_case{"second_thumbnail_image_refused", step::thumbnail_image,
                   fault{.skip = 1, .status = 500},
                   archive_sent + thumbnail_sent +
                       "thumbnail 200, thumbnail ticket 200, thumbnail image 500, package 200",
                   "1 archive thumbnails 2/1 package"},
        fault_case{"package_answer_cut", step::package, fault{.cut_after = 10},
                   all_but_package + "package cut", "1 archive thumbnails 2/2 package"}),
    test_support::row_name());

TEST_F(web_service_test, serves_the_files_of_its_feed_folder) {
  test_support::write_file(feed_.file("parvel.feed.xml"), "<feed/>");
  test_support::write_file(feed_.file("setup.exe"), test_support::pattern(100000));
  auto& web = start();
  service_client client;
  const struct {
    const char* name;
    std::string file;  // under /content/
    std::optional<fault> scripted;
    int exit_code;
    int status;
    std::string body;
  } cases[] = {
      {"installer", "setup.exe", {}, 0, 200, test_support::pattern(100000)},
      {"missing_file", "setup2.exe", {}, 0, 404, "no file 'setup2.exe'"},
      {"folder_above", "..", {}, 0, 404, ""},
      {"feed_refused", "parvel.feed.xml", fault{.status = 404}, 0, 404, "scripted failure"},
      {"installer_cut_short", "setup.exe", fault{.cut_after = 1000}, 18, 200,
       test_support::pattern(1000)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    web.clear_faults();
    if (c.scripted) {
      web.set_fault(c.file == "parvel.feed.xml" ? step::feed : step::feed_file, *c.scripted);
    }
    const auto answer = client.get(
        "http://127.0.0.1:" + std::to_string(web.port()) + "/content/" + c.file, {"--path-as-is"});
    EXPECT_EQ(answer.exit_code, c.exit_code);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_TRUE(answer.body == c.body) << answer.body.size() << " bytes";
  }
}

}  // namespace
