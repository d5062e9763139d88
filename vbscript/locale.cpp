#include "vbscript/locale.h"

#include "base/text.h"

namespace tillbook::vbscript {

const Locale& Locale::Italian() {
  static const Locale kItalian{
      1040,
      "it-it",
      ',',
      '.',
      true,
      true,
      true,
      "",
      "",
      {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto",
       "settembre", "ottobre", "novembre", "dicembre"},
      {"gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"},
      {"domenica", "lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato"},
      {"dom", "lun", "mar", "mer", "gio", "ven", "sab"},
      "€",
      true,
      2,
      false,
  };
  return kItalian;
}

const Locale& Locale::English() {
  static const Locale kEnglish{
      1033,
      "en-us",
      '.',
      ',',
      false,
      false,
      false,
      "AM",
      "PM",
      {"January", "February", "March", "April", "May", "June", "July", "August", "September",
       "October", "November", "December"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
      "$",
      true,
      1,
      true,
  };
  return kEnglish;
}

const Locale* Locale::Find(int lcid) {
  if (lcid == 1040) return &Italian();
  if (lcid == 1033) return &English();
  return nullptr;
}

const Locale* Locale::Find(std::string_view name) {
  if (text::EqualNoCase(name, "it-it") || text::EqualNoCase(name, "it")) return &Italian();
  if (text::EqualNoCase(name, "en-us") || text::EqualNoCase(name, "en")) return &English();
  return nullptr;
}

}  // namespace tillbook::vbscript
