#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.hpp"

namespace test_support {

struct curl_answer {
  // curl's own: 0, or why the exchange failed (28 time-out, 52 no answer, ...).
  int exit_code = -1;
  int status = 0;
  std::string body;
};

// What an answer entry of the service says, as python's XML parser reads it.
struct answer_fields {
  // Its first link's address; empty when it has none.
  std::string link;
  // The ticket's text, trimmed.
  std::string ticket;
};

// Requests made with the curl tool, which knows nothing of our code.
class service_client {
 public:
  // ca_file: the authority that signed the service's certificate; empty for
  // plain HTTP. Each request ends after time_limit seconds.
  explicit service_client(std::string ca_file = {}, int time_limit = 20);

  curl_answer post(const std::string& url, const std::string& content_type, const std::string& body,
                   const std::vector<std::string>& headers = {});
  curl_answer put(const std::string& url, const std::string& content_type, const std::string& body);
  curl_answer get(const std::string& url, const std::vector<std::string>& options = {});

  // nullopt when the answer is not a well-formed Atom entry.
  std::optional<answer_fields> read_answer(const std::string& body);

 private:
  curl_answer run(std::vector<std::string> arguments);
  std::string scratch_file(const std::string& bytes);

  std::string ca_file_;
  int time_limit_;
  temp_folder scratch_;
  unsigned files_ = 0;
};

// The request bodies byte for byte as the program writes them.
std::string media_entry_text(const std::string& original_name, unsigned entries);
std::string thumbnail_entry_text(unsigned width, unsigned height);
std::string package_entry_text(const std::string& from, const std::string& subject,
                               const std::string& message,
                               const std::vector<std::string>& recipients,
                               const std::string& media);

struct send_data {
  std::string original_name = "Photos 1.zip";
  unsigned photos = 3;
  std::string archive;
  // JPEG bytes of each thumbnail.
  std::vector<std::string> thumbnails;
  std::string from = "ann@example.com";
  std::string subject;
  std::string message;
  std::vector<std::string> recipients = {"bob@example.com"};
  // Sent when not empty.
  std::string accept_language;
};

// Makes the requests of a send in the program's order and tells how each
// went: "<step> <status>"; "<step> timed out", "<step> no answer" or
// "<step> cut" when curl failed; "<step> unreadable" when the answer entry
// could not be read or lacks the link or ticket to follow. A failed
// thumbnail request ends only that thumbnail; any other failure ends the
// send.
std::vector<std::string> send_through(service_client& client, const std::string& base,
                                      const send_data& send);

}  // namespace test_support
