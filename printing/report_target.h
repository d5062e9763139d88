// Where a report goes: a printer, the preview window, a PDF file, a recording. The report
// engine asks its target for the page size and for a fresh document surface each time it starts
// a document (every copy, every record printed on its own).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace tillbook::printing {

class Surface;

struct PageSize {
  double width = 0;   // mm, printable
  double height = 0;  // mm, printable
};

// A4 portrait, the paper of a PDF file or a recording unless told otherwise.
inline constexpr PageSize kA4{210.0, 297.0};

class ReportTarget {
 public:
  virtual ~ReportTarget() = default;
  // True for the preview window, whose pages are preview surfaces.
  virtual bool IsPreview() const = 0;
  // Printable size of a page in the given orientation.
  virtual PageSize Page(bool landscape) const = 0;
  // Starts a new document on its first page (a preview forgets its earlier pages). The engine
  // asks a printer for one document per run and keeps drawing into it across copies; a preview
  // starts over at every copy.
  virtual std::unique_ptr<Surface> BeginDocument(bool landscape) = 0;
};

// The installed printer with that device name ("" for the system printer); nullptr when there is
// none of that name (or, for "", no printer at all).
using PrinterLookup = std::function<std::shared_ptr<ReportTarget>(std::string_view deviceName)>;

}  // namespace tillbook::printing
