#pragma once

#include <memory>

#include "core/graphics/gdip/bitmap.hpp"
#include "core/threading/stop_flag.hpp"

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
  // Once stop is set, from any thread, the unit under way ends within a strip
  // of rows (or its helper process is killed) and throws gdiplus_exception
  // with status aborted and its own message.
  void run(const threading::stop_flag& stop = threading::never_stopped);

  virtual void execute() = 0;

  // The unit's result, empty until execute() has run. Units without one
  // throw core::not_supported_exception "operation not supported.".
  virtual std::shared_ptr<bitmap>& image();

 protected:
  explicit gdiplus_image_unit(gdiplus_image_unit* predecessor) : predecessor_(predecessor) {}

  gdiplus_image_unit* predecessor() const { return predecessor_; }
  // What ends execute() early: the run's stop while run() executes the unit.
  const threading::stop_flag& stop() const { return *stop_; }

 private:
  gdiplus_image_unit* predecessor_;
  const threading::stop_flag* stop_ = &threading::never_stopped;
};

}  // namespace core::graphics::gdip::batch
