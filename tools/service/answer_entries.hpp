#pragma once

#include <string>

#include "tools/service/received_entries.hpp"

namespace service {

// The Atom entries the service answers with. id names the entry; href is its
// absolute address, given as the entry's first link, which the program
// follows.
std::string media_answer(const std::string& id, const std::string& href, const media_entry& media);
std::string thumbnail_answer(const std::string& id, const std::string& href,
                             const thumbnail_entry& thumbnail);
std::string package_answer(const std::string& id, const std::string& href,
                           const package_entry& package);
// A ticket whose text is the address the next PUT goes to, and whose type is
// the content type that PUT must carry.
std::string ticket_answer(const std::string& id, const std::string& content_type,
                          const std::string& address);

}  // namespace service
