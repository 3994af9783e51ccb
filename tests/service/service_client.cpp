#include "tests/service/service_client.hpp"

#include <sstream>

#include "tests/service/test_tools.hpp"

namespace test_support {

namespace {

constexpr const char* atom_namespace = "http://www.w3.org/2005/Atom";
constexpr const char* extension_namespace =
    "http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd";
constexpr const char* kind_prefix = "http://www.lumbrel.example/xsd/desktop/1.0/2009#";

// Prints the first link and the ticket text, a line each.
constexpr const char* answer_reader = R"(
import sys, xml.etree.ElementTree as tree
atom = '{http://www.w3.org/2005/Atom}'
entry = tree.parse(sys.argv[1]).getroot()
if entry.tag != atom + 'entry':
    sys.exit(1)
link = entry.find(atom + 'link')
ticket = entry.find('{http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd}ticket')
print(link.get('href') if link is not None else '')
print((ticket.text or '').strip() if ticket is not None else '')
)";

std::string escaped(const std::string& value, bool in_attribute) {
  std::string out;
  for (const char c : value) {
    out += c == '&'                   ? "&amp;"
           : c == '<'                 ? "&lt;"
           : c == '>'                 ? "&gt;"
           : c == '"' && in_attribute ? "&quot;"
                                      : std::string(1, c);
  }
  return out;
}

std::string entry_start(bool prefix_on_entry) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\" ?><atom:entry xmlns:atom=\"") +
         atom_namespace +
         (prefix_on_entry ? std::string("\" xmlns:lm=\"") + extension_namespace + "\" >" : "\">");
}

std::string category(const std::string& kind) {
  return std::string("<atom:category scheme=\"") + kind_prefix + "kind\" term=\"" + kind_prefix +
         kind + "\"/>";
}

}  // namespace

service_client::service_client(std::string ca_file, int time_limit)
    : ca_file_(std::move(ca_file)), time_limit_(time_limit) {}

curl_answer service_client::post(const std::string& url, const std::string& content_type,
                                 const std::string& body, const std::vector<std::string>& headers) {
  std::vector<std::string> arguments = {"-H", "Content-Type: " + content_type, "--data-binary",
                                        "@" + scratch_file(body)};
  for (const auto& header : headers) {
    arguments.insert(arguments.end(), {"-H", header});
  }
  arguments.push_back(url);
  return run(arguments);
}

curl_answer service_client::put(const std::string& url, const std::string& content_type,
                                const std::string& body) {
  return run({"-H", "Content-Type: " + content_type, "-T", scratch_file(body), url});
}

curl_answer service_client::get(const std::string& url, const std::vector<std::string>& options) {
  std::vector<std::string> arguments = options;
  arguments.push_back(url);
  return run(arguments);
}

std::optional<answer_fields> service_client::read_answer(const std::string& body) {
  const auto read = run_tool({"python3", "-c", answer_reader, scratch_file(body)});
  std::istringstream lines(read.output);
  answer_fields fields;
  if (read.exit_code == 0 && std::getline(lines, fields.link) &&
      std::getline(lines, fields.ticket)) {
    return fields;
  }
  return std::nullopt;
}

curl_answer service_client::run(std::vector<std::string> arguments) {
  const std::string body_file = scratch_.file("answer");
  arguments.insert(arguments.begin(), {"curl", "-sS", "--max-time", std::to_string(time_limit_),
                                       "-o", body_file, "-w", "%{http_code}"});
  if (!ca_file_.empty()) {
    arguments.insert(arguments.begin() + 1, {"--cacert", ca_file_});
  }
  std::remove(body_file.c_str());
  const auto result = run_tool(arguments);
  curl_answer answer;
  answer.exit_code = result.exit_code;
  answer.status = std::atoi(result.output.c_str());
  answer.body = read_file(body_file);
  return answer;
}

std::string service_client::scratch_file(const std::string& bytes) {
  const std::string path = scratch_.file("body-" + std::to_string(++files_));
  write_file(path, bytes);
  return path;
}

std::string media_entry_text(const std::string& original_name, unsigned entries) {
  return entry_start(false) + category("media") + "<lm:media xmlns:lm=\"" + extension_namespace +
         "\" mime-type=\"application/octet-stream\" format=\"zip\" resolution=\"multiple\" "
         "original-name=\"" +
         escaped(original_name, true) + "\" entries=\"" + std::to_string(entries) +
         "\" client-type=\"windows\" /></atom:entry>";
}

std::string thumbnail_entry_text(unsigned width, unsigned height) {
  return entry_start(true) + category("thumbnail") + "<lm:resolution width=\"" +
         std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" /></atom:entry>";
}

std::string package_entry_text(const std::string& from, const std::string& subject,
                               const std::string& message,
                               const std::vector<std::string>& recipients,
                               const std::string& media) {
  std::string text = entry_start(true) + category("package") + "<lm:from uid=\"" +
                     escaped(from, true) + "\" /><lm:subject>" + escaped(subject, false) +
                     "</lm:subject><lm:message>" + escaped(message, false) + "</lm:message>";
  for (const auto& recipient : recipients) {
    text += "<lm:recipient uid=\"" + escaped(recipient, true) + "\" />";
  }
  return text + "<lm:media href=\"" + escaped(media, true) + "\" /></atom:entry>";
}

namespace {

enum class follow { nothing, link, ticket };

// Notes how one request went; the answer's fields when it went well.
std::optional<answer_fields> note(service_client& client, std::vector<std::string>& log,
                                  const std::string& step, const curl_answer& answer,
                                  follow needed) {
  if (answer.exit_code != 0) {
    const int code = answer.exit_code;
    log.push_back(step + (code == 28 ? " timed out" : code == 52 ? " no answer" : " cut"));
    return std::nullopt;
  }
  log.push_back(step + " " + std::to_string(answer.status));
  if (answer.status != 200) {
    return std::nullopt;
  }
  if (needed == follow::nothing) {
    return answer_fields{};
  }
  auto fields = client.read_answer(answer.body);
  if (!fields || (needed == follow::link ? fields->link : fields->ticket).empty()) {
    log.back() = step + " unreadable";
    return std::nullopt;
  }
  return fields;
}

constexpr const char* atom_type = "application/atom+xml";
constexpr const char* octets_type = "application/octet-stream";

}  // namespace

std::vector<std::string> send_through(service_client& client, const std::string& base,
                                      const send_data& send) {
  std::vector<std::string> log;
  const auto media = note(client, log, "media",
                          client.post(base + "/atom/1.0/media/", atom_type,
                                      media_entry_text(send.original_name, send.photos)),
                          follow::link);
  if (!media) {
    return log;
  }
  const auto ticket =
      note(client, log, "ticket",
           client.post(media->link + "/uploadticket/", octets_type, atom_type), follow::ticket);
  if (!ticket || !note(client, log, "archive",
                       client.put(ticket->ticket, octets_type, send.archive), follow::nothing)) {
    return log;
  }
  for (const auto& image : send.thumbnails) {
    const auto thumbnail =
        note(client, log, "thumbnail",
             client.post(media->link + "/thumbnail/", atom_type, thumbnail_entry_text(160, 120)),
             follow::link);
    if (!thumbnail) {
      continue;
    }
    const auto image_ticket = note(
        client, log, "thumbnail ticket",
        client.post(thumbnail->link + "/uploadticket/", octets_type, atom_type), follow::ticket);
    if (image_ticket) {
      note(client, log, "thumbnail image", client.put(image_ticket->ticket, "image/jpeg", image),
           follow::nothing);
    }
  }
  std::vector<std::string> headers;
  if (!send.accept_language.empty()) {
    headers.push_back("Accept-Language: " + send.accept_language);
  }
  note(client, log, "package",
       client.post(
           base + "/atom/1.0/package/", atom_type,
           package_entry_text(send.from, send.subject, send.message, send.recipients, media->link),
           headers),
       follow::nothing);
  return log;
}

}  // namespace test_support
