// Module-wide state released when the library is unloaded.
#pragma once

namespace zo {

// Releases the state of the interactive tools and the shading tables, then destroys the
// path heap (which reclaims every record still allocated).
void release_library_state();
// Releases the metal reflectance table and puts the lighting settings back to their load-time
// values (called by release_library_state).
void release_shading_state();

namespace shapes {
// Releases the shape tools' module-wide state (creation batch, pen tool).
void release_shape_state();
}  // namespace shapes

}  // namespace zo
