#include "ui/update/download_progress.hpp"

#include <algorithm>

#include "ui/send/send_progress.hpp"

namespace parvel {

std::optional<download_progress> make_download_progress(unsigned received, unsigned total,
                                                        const QString& kb) {
  if (total == 0)
    return std::nullopt;
  const float fraction = static_cast<float>(received) / static_cast<float>(total);
  return download_progress{fraction, std::clamp(fraction, 0.0f, 1.0f),
                           progress_amount_text(received, total, kb), received >= total};
}

}  // namespace parvel
