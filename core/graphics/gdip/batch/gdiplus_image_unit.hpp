#pragma once

#include <memory>

#include "core/graphics/gdip/bitmap.hpp"

namespace core::graphics::gdip::batch {

// One step of an imaging chain. A unit points at its predecessor without
// owning it: the chain's creator keeps every unit alive while the chain runs.
// A chain is used by one thread at a time.
class gdiplus_image_unit {
 public:
  virtual ~gdiplus_image_unit() = default;
  gdiplus_image_unit(const gdiplus_image_unit&) = delete;
  gdiplus_image_unit& operator=(const gdiplus_image_unit&) = delete;

  // Runs the chain from its head: the predecessor's run, then execute().
  void run();

  virtual void execute() = 0;

  // The unit's result, empty until execute() has run. Units without one
  // throw core::not_supported_exception "operation not supported.".
  virtual std::shared_ptr<bitmap>& image();

 protected:
  explicit gdiplus_image_unit(gdiplus_image_unit* predecessor) : predecessor_(predecessor) {}

  gdiplus_image_unit* predecessor() const { return predecessor_; }

 private:
  gdiplus_image_unit* predecessor_;
};

}  // namespace core::graphics::gdip::batch
