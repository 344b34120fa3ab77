#include "shape_state.hpp"

#include "platform/library_state.hpp"

namespace zo::shapes {

void release_shape_state() {
  release_pen_state();
  release_creation_batch();
}

}  // namespace zo::shapes
