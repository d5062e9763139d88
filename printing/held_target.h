// A print target that holds back everything drawn until the run is known to be good: a script
// error or a stop halfway through must not leave half a job at the printer. One real document is
// opened at the first document begun (text is measured with the real fonts), but the drawing is
// kept and replayed on it only by Release; Discard drops it. The documents a run begins (one per
// copy, one per record printed on its own) become consecutive pages of that one real document,
// so a file target receives the whole run instead of its last copy.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "printing/report_target.h"

namespace tillbook::printing {

class Surface;

class HeldTarget : public ReportTarget {
 public:
  explicit HeldTarget(std::shared_ptr<ReportTarget> real);
  ~HeldTarget() override;

  bool IsPreview() const override;
  PageSize Page(bool landscape) const override;
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

  // Draws what is held on the real document and finishes it. Throws what the real surface
  // throws (a file that cannot be written).
  void Release();
  // Forgets what is held; the real document is dropped unfinished.
  void Discard();
  // True when something is held (a document was begun since the last Release or Discard).
  bool holding() const { return real_surface_ != nullptr; }

 private:
  class HeldSurface;
  using Op = std::function<void(Surface&)>;

  std::shared_ptr<ReportTarget> real_;
  std::unique_ptr<Surface> real_surface_;
  std::vector<Op> ops_;
  bool drawn_ = false;  // something drawn since the latest document began
};

}  // namespace tillbook::printing
