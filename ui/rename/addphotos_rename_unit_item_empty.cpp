#include "ui/rename/addphotos_rename_unit_item_empty.hpp"

#include "engine/rename/rename_alg_replace.hpp"

namespace parvel {

addphotos_rename_unit_item_empty::addphotos_rename_unit_item_empty(QWidget* parent)
    : addphotos_rename_unit_item("unit_item_do_not_change", parent) {
  measure();
}

std::shared_ptr<rename_alg> addphotos_rename_unit_item_empty::make_alg() const {
  return std::make_shared<rename_alg_replace>();
}

}  // namespace parvel
