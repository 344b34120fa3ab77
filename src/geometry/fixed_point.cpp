#include "fixed_point.hpp"

extern "C" {

ZO_API int32_t DbToFix(double value) { return zo::db_to_fix(value); }
ZO_API double FixToDb(int32_t value) { return zo::fix_to_db(value); }
ZO_API Ptfx PtfxAdd(Ptfx a, Ptfx b) { return zo::ptfx_add(a, b); }

}  // extern "C"
