#include "ui/rename/rename_item_values.hpp"

#include <boost/lexical_cast.hpp>

#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_value.hpp"

namespace parvel {

namespace {

unsigned read_unsigned(const core::key_value_params& params, const std::string& key,
                       unsigned missing) {
  if (!params.has(key))
    return missing;
  try {
    return params.get<unsigned int>(key);
  } catch (const boost::bad_lexical_cast&) {
    return 0;
  }
}

}  // namespace

void save_counter_values(core::key_value_params& params, const counter_values& values) {
  params["init_value"] = std::to_string(values.start);
  params["step"] = std::to_string(1);
  params["digits"] = std::to_string(values.digits);
}

counter_values load_counter_values(const core::key_value_params& params) {
  // A stored step is no setting of the counter: it always counts by 1.
  return {read_unsigned(params, "init_value", 0), read_unsigned(params, "digits", 1)};
}

std::string load_text_value(const core::key_value_params& params, const std::string& key) {
  return params.has(key) ? params.get<std::string>(key) : std::string();
}

std::shared_ptr<rename_alg> make_text_alg(std::string text) {
  return std::make_shared<rename_alg_value>(std::move(text));
}

std::shared_ptr<rename_alg> make_counter_alg(const counter_values& values) {
  return std::make_shared<rename_alg_counter>(values.start, values.digits, 1);
}

}  // namespace parvel
