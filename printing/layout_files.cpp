#include "printing/layout_files.h"

#include <charconv>
#include <initializer_list>

#include "base/error.h"
#include "base/text.h"

namespace tillbook::printing {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kHeaderStart = "'#";

constexpr const char* kReportKeys[] = {"ReportName",           "ReportGroup",   "BackImageFile",
                                       "BottomImageBorder",    "Columns",       "ReportHeight",
                                       "ReportWidth",          "ReportTop",     "ReportLeft",
                                       "ReportRowsDim",        "ReportRowsTop", "ReportRowsBottom",
                                       "HorizontalOrientation"};
constexpr const char* kLabelKeys[] = {
    "Columns",   "LabelHeight",           "LabelWidth",           "LabelTop",
    "LabelLeft", "HorizontalOrientation", "EnableLabelAlignment", "CopyNumber"};
// Keys only one kind of file carries: they tell the kind.
constexpr const char* kReportOnlyKeys[] = {"ReportName",        "ReportGroup",     "BackImageFile",
                                           "BottomImageBorder", "ReportHeight",    "ReportWidth",
                                           "ReportTop",         "ReportLeft",      "ReportRowsDim",
                                           "ReportRowsTop",     "ReportRowsBottom"};
constexpr const char* kLabelOnlyKeys[] = {"LabelHeight", "LabelWidth",           "LabelTop",
                                          "LabelLeft",   "EnableLabelAlignment", "CopyNumber"};

template <size_t N>
bool Among(std::string_view key, const char* const (&keys)[N]) {
  for (const char* k : keys)
    if (text::EqualNoCase(key, k)) return true;
  return false;
}

// The shortest text that reads back as the same number, always with ".".
std::string NumberText(double value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}
std::string FlagText(bool value) {
  return value ? "True" : "False";
}

void Header(std::string& out, std::string_view key, std::string_view value) {
  out.append(kHeaderStart).append(key).append("=").append(value).append(kCrLf);
}

double ReadNumber(std::string_view key, std::string_view value) {
  std::string s(text::Trim(value));
  if (s.empty()) return 0;
  for (char& c : s)
    if (c == ',') c = '.';
  double d = 0;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  auto [end, ec] = std::from_chars(first, s.data() + s.size(), d);
  if (ec != std::errc() || end != s.data() + s.size())
    throw Error("Il valore di " + std::string(key) + " non è un numero: " + std::string(value));
  return d;
}

bool ReadFlag(std::string_view key, std::string_view value) {
  const std::string_view v = text::Trim(value);
  for (const char* yes : {"True", "Vero", "-1", "1"})
    if (text::EqualNoCase(v, yes)) return true;
  for (const char* no : {"False", "Falso", "0", ""})
    if (text::EqualNoCase(v, no)) return false;
  throw Error("Il valore di " + std::string(key) + " non è Vero o Falso: " + std::string(value));
}

// The file's lines; CR LF, LF and CR each end a line. A text ending with a line break has an
// empty last line, so joining the lines again with CR LF gives back a CR LF text unchanged.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

std::string ExportReportLayout(const ReportLayout& l) {
  std::string out;
  Header(out, "ReportName", l.name);
  Header(out, "ReportGroup", l.group);
  Header(out, "BackImageFile", l.backImageFile);
  Header(out, "BottomImageBorder", NumberText(l.backBottomMargin));
  Header(out, "Columns", std::to_string(l.columns));
  Header(out, "ReportHeight", NumberText(l.moduleHeight));
  Header(out, "ReportWidth", NumberText(l.moduleWidth));
  Header(out, "ReportTop", NumberText(l.top));
  Header(out, "ReportLeft", NumberText(l.left));
  Header(out, "ReportRowsDim", NumberText(l.rowHeight));
  Header(out, "ReportRowsTop", NumberText(l.rowsTop));
  Header(out, "ReportRowsBottom", NumberText(l.rowsBottom));
  Header(out, "HorizontalOrientation", FlagText(l.landscape));
  return out + l.script;
}

std::string ExportLabelLayout(const LabelLayout& l) {
  std::string out;
  Header(out, "Columns", std::to_string(l.columns));
  Header(out, "LabelHeight", NumberText(l.labelHeight));
  Header(out, "LabelWidth", NumberText(l.labelWidth));
  Header(out, "LabelTop", NumberText(l.top));
  Header(out, "LabelLeft", NumberText(l.left));
  Header(out, "HorizontalOrientation", FlagText(l.landscape));
  Header(out, "EnableLabelAlignment", FlagText(l.enableAlignment));
  Header(out, "CopyNumber", std::to_string(l.copies));
  return out + l.script;
}

LayoutFile ReadLayoutFile(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  LayoutFile file;
  bool reportKeys = false, labelKeys = false, firstScriptLine = true;
  for (std::string_view line : Lines(text)) {
    const size_t equals = line.find('=');
    if (line.substr(0, kHeaderStart.size()) == kHeaderStart && equals != std::string_view::npos) {
      const std::string_view key = line.substr(kHeaderStart.size(), equals - kHeaderStart.size());
      reportKeys = reportKeys || Among(key, kReportOnlyKeys);
      labelKeys = labelKeys || Among(key, kLabelOnlyKeys);
      if (Among(key, kReportKeys) || Among(key, kLabelKeys))
        file.settings.emplace_back(std::string(key), std::string(line.substr(equals + 1)));
      continue;
    }
    if (!firstScriptLine) file.script.append(kCrLf);
    file.script.append(line);
    firstScriptLine = false;
  }
  if (reportKeys == labelKeys)
    throw Error(
        "Il file non contiene le impostazioni di un prospetto di stampa né quelle di una stampa "
        "di etichette.");
  file.kind = labelKeys ? LayoutKind::Label : LayoutKind::Report;
  return file;
}

void ApplyLayoutFile(const LayoutFile& file, ReportLayout& l) {
  for (const auto& [key, value] : file.settings) {
    auto is = [&](const char* k) { return text::EqualNoCase(key, k); };
    if (is("ReportName")) {
      if (l.name.empty()) l.name = value;
    } else if (is("ReportGroup")) {
      l.group = value;
    } else if (is("BackImageFile")) {
      l.backImageFile = value;
    } else if (is("BottomImageBorder")) {
      l.backBottomMargin = ReadNumber(key, value);
    } else if (is("Columns")) {
      l.columns = static_cast<int>(ReadNumber(key, value));
    } else if (is("ReportHeight")) {
      l.moduleHeight = ReadNumber(key, value);
    } else if (is("ReportWidth")) {
      l.moduleWidth = ReadNumber(key, value);
    } else if (is("ReportTop")) {
      l.top = ReadNumber(key, value);
    } else if (is("ReportLeft")) {
      l.left = ReadNumber(key, value);
    } else if (is("ReportRowsDim")) {
      l.rowHeight = ReadNumber(key, value);
    } else if (is("ReportRowsTop")) {
      l.rowsTop = ReadNumber(key, value);
    } else if (is("ReportRowsBottom")) {
      l.rowsBottom = ReadNumber(key, value);
    } else if (is("HorizontalOrientation")) {
      l.landscape = ReadFlag(key, value);
    }
  }
  l.script = file.script;
}

void ApplyLayoutFile(const LayoutFile& file, LabelLayout& l) {
  for (const auto& [key, value] : file.settings) {
    auto is = [&](const char* k) { return text::EqualNoCase(key, k); };
    if (is("Columns"))
      l.columns = static_cast<int>(ReadNumber(key, value));
    else if (is("LabelHeight"))
      l.labelHeight = ReadNumber(key, value);
    else if (is("LabelWidth"))
      l.labelWidth = ReadNumber(key, value);
    else if (is("LabelTop"))
      l.top = ReadNumber(key, value);
    else if (is("LabelLeft"))
      l.left = ReadNumber(key, value);
    else if (is("HorizontalOrientation"))
      l.landscape = ReadFlag(key, value);
    else if (is("EnableLabelAlignment"))
      l.enableAlignment = ReadFlag(key, value);
    else if (is("CopyNumber"))
      l.copies = static_cast<int>(ReadNumber(key, value));
  }
  l.script = file.script;
}

}  // namespace tillbook::printing
