// Which views an item's presentation attributes address. The read-only mask (a1) and the hide
// mask (a2) of a field or reference carry one bit per view: bit 1 the grid (a list of rows,
// edited in place), bit 2 the data panel (the editor of one row). The values definitions use
// follow from it: 15 and 255 reach every view (totals, the operator, internal numbers, the
// references of a feature switched off); 1 leaves flags, discounts and amounts editable in the
// panel while a list shows them without in-place editing; 0 or "not set" is no restriction.
// Qt-free, so grids, panels and their tests share one rule.
#pragma once

#include "engine/definition.h"

namespace tillbook::engine::ui {

enum class View : int { Grid = 1, Panel = 2 };

// True when the mask `attribute` (a1 or a2; kNotSet or a negative value: nothing) covers `view`.
inline bool MaskCovers(int attribute, View view) {
  return attribute > 0 && (attribute & static_cast<int>(view)) != 0;
}

inline bool IsHidden(const FieldDef& f, View v) {
  return MaskCovers(f.a2, v);
}
inline bool IsReadOnly(const FieldDef& f, View v) {
  return MaskCovers(f.a1, v);
}
inline bool IsHidden(const ReferenceDef& r, View v) {
  return MaskCovers(r.a2, v);
}
inline bool IsReadOnly(const ReferenceDef& r, View v) {
  return MaskCovers(r.a1, v);
}

}  // namespace tillbook::engine::ui
