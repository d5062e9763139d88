// Helpers of the report engine's tests: a recording target whose text metrics are fixed (one
// millimetre per character, four per line) so wrapping can be followed by hand, bitmap files
// written from pixels, and filters over a recording.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "printing/recording_surface.h"

namespace tillbook::printing::testing {

// Every character 1 mm wide, every line 4 mm high.
class MonospaceSurface : public RecordingSurface {
 public:
  using RecordingSurface::RecordingSurface;
  double TextWidth(std::string_view text) override;
  double TextHeight(std::string_view) override { return 4; }
};

class MonospaceTarget : public ReportTarget {
 public:
  explicit MonospaceTarget(PageSize page = kA4) : page_(page) {}
  bool IsPreview() const override { return false; }
  PageSize Page(bool landscape) const override { return page_; }
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;
  const std::vector<std::string>& lines() const { return *log_; }

 private:
  PageSize page_;
  std::shared_ptr<std::vector<std::string>> log_ = std::make_shared<std::vector<std::string>>();
};

// The recorded lines whose call name is one of `calls` ("Text", "Line"...), in order.
std::vector<std::string> Only(const std::vector<std::string>& lines,
                              std::initializer_list<std::string_view> calls);

// Writes a 24-bit bottom-up bitmap file of w × h pixels, all of colour 0xRRGGBB.
void WriteBmp(const std::filesystem::path& file, int w, int h, uint32_t rrggbb);

// A fresh empty folder under the test temporary folder.
std::filesystem::path FreshFolder(const std::string& name);

}  // namespace tillbook::printing::testing
