#include "ui/app/taskbar_progress.hpp"

#include <algorithm>
#include <cmath>

namespace parvel {

void taskbar_progress::set_value(float p) {
  // NaN compares false both ways: it reads as 0.
  const float bounded = p > 0.0f ? std::min(p, 1.0f) : 0.0f;
  thousandths_ = static_cast<int>(std::trunc(bounded * 1000.0f));
  if (state_ == state::no_progress) {
    state_ = state::normal;
  }
}

void taskbar_progress::set_state(state s) {
  state_ = s;
}

QVariantMap taskbar_progress::launcher_properties() const {
  const double value = state_ == state::paused ? 1.0 : thousandths_ / 1000.0;
  return {
      {QStringLiteral("progress"), value},
      {QStringLiteral("progress-visible"), state_ != state::no_progress},
      {QStringLiteral("urgent"), state_ == state::error},
  };
}

}  // namespace parvel
