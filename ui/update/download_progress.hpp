#pragma once

#include <QString>
#include <optional>

namespace parvel {

struct download_progress {
  float fraction;   // received / total, above 1 when more came than announced
  float bar_value;  // the fraction limited to 0..1
  QString text;     // "512 / 2048 Kb": whole KiB received and in total
  bool complete;    // the announced last byte has come: the installer opens next
};

// Nothing for a total of 0. kb is the localized unit.
std::optional<download_progress> make_download_progress(unsigned received, unsigned total,
                                                        const QString& kb);

}  // namespace parvel
