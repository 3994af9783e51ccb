#include "ui/addphotos/photo_list/dropped_path.hpp"

#include <gtest/gtest.h>

#include <QUrl>
#include <optional>
#include <string>
#include <vector>

namespace parvel {
namespace {

using namespace std::string_literals;

struct dropped_case {
  std::string name;
  QUrl url;
  std::optional<std::string> expected;
};

// As a file manager's list carries them: percent-encoded bytes.
QUrl listed(const char* encoded) {
  return QUrl::fromEncoded(QByteArray(encoded));
}

TEST(dropped_path, keeps_the_bytes_of_the_name) {
  const std::vector<dropped_case> rows = {
      {"Latin-1 accents", listed("file:///card/%E9t%E9.jpg"), "/card/\xe9t\xe9.jpg"},
      {"bytes that are never UTF-8", listed("file:///card/%FF%FE.jpg"), "/card/\xff\xfe.jpg"},
      {"a folder with a Latin-1 name", listed("file:///card/bad%E9dir"),
       "/card/bad\xe9"
       "dir"},
      {"UTF-8 accents", listed("file:///card/%C3%A9t%C3%A9.jpg"), "/card/\xc3\xa9t\xc3\xa9.jpg"},
      {"a percent sign", listed("file:///card/100%25.jpg"), "/card/100%.jpg"},
      {"a hash sign", listed("file:///card/%23hash.jpg"), "/card/#hash.jpg"},
      {"a question mark", listed("file:///card/why%3F.jpg"), "/card/why?.jpg"},
      {"a blank", listed("file:///card/a%20b.jpg"), "/card/a b.jpg"},
      {"an encoded slash is a slash", listed("file:///card%2Fx.jpg"), "/card/x.jpg"},
      {"the local host named", listed("file://localhost/card/x.jpg"), "/card/x.jpg"},
      {"made in this program from a percent sign", QUrl::fromLocalFile("/card/100%.jpg"),
       "/card/100%.jpg"},
      {"made in this program from a hash sign", QUrl::fromLocalFile("/card/#hash.jpg"),
       "/card/#hash.jpg"},
      {"made in this program from accents", QUrl::fromLocalFile(QString::fromUtf8("/card/été.jpg")),
       "/card/\xc3\xa9t\xc3\xa9.jpg"},
      {"another host", listed("file://camera/card/x.jpg"), std::nullopt},
      {"another scheme", listed("https://example.org/x.jpg"), std::nullopt},
      {"an encoded NUL", listed("file:///card/x.jpg%00.txt"), std::nullopt},
      {"a relative path", listed("file:card/x.jpg"), std::nullopt},
      {"no path", listed("file://"), std::nullopt},
      {"an empty address", QUrl(), std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(dropped_path(row.url), row.expected);
  }
}

}  // namespace
}  // namespace parvel
