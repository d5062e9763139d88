// Measures the interpreter on a loop-heavy script (integer and floating arithmetic, string
// building, procedure calls, array reads and writes, a million iterations) against the same
// program run by the Lua 5.4 interpreter in the same run, and prints the ratio of the times.
#include <array>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <unistd.h>

#include "vbscript/interpreter.h"
#include "vbscript/locale.h"

namespace {

constexpr const char* kScript = R"(
Function Weight(a, b)
  Weight = (a * 3 + b) Mod 97
End Function

Function Main(n)
  Dim prices(99), counts(99), i, k, total, amount, s, slen
  For i = 0 To 99
    prices(i) = (i + 1) * 0.25
    counts(i) = 0
  Next
  total = 0: amount = 0: s = "": slen = 0
  For i = 1 To n
    k = i Mod 100
    counts(k) = counts(k) + Weight(i, k)
    total = (total + counts(k) \ 7 - k) Mod 1000003
    amount = amount + prices(k) * 1.5
    If i Mod 1000 = 0 Then
      s = s & Chr(65 + (i \ 1000) Mod 26)
      If Len(s) > 50 Then slen = slen + Len(s): s = ""
    End If
  Next
  Main = total & " " & (slen + Len(s)) & " " & counts(42) & " " & amount
End Function
)";

constexpr const char* kLua = R"(
local function Weight(a, b)
  return (a * 3 + b) % 97
end

local function Main(n)
  local prices, counts = {}, {}
  for i = 0, 99 do
    prices[i] = (i + 1) * 0.25
    counts[i] = 0
  end
  local total, amount, s, slen = 0, 0.0, "", 0
  for i = 1, n do
    local k = i % 100
    counts[k] = counts[k] + Weight(i, k)
    total = (total + counts[k] // 7 - k) % 1000003
    amount = amount + prices[k] * 1.5
    if i % 1000 == 0 then
      s = s .. string.char(65 + (i // 1000) % 26)
      if #s > 50 then slen = slen + #s; s = "" end
    end
  end
  return total .. " " .. (slen + #s) .. " " .. counts[42] .. " " .. string.format("%.0f", amount)
end

local start = os.clock()
local result = Main(1000000)
print(result, os.clock() - start)
)";

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main() {
  using namespace tillbook;
  std::string luaFile = "/tmp/vbscript_bench_" + std::to_string(getpid()) + ".lua";
  const char* luaPath = luaFile.c_str();
  std::ofstream(luaPath) << kLua;
  struct Remove {
    const char* path;
    ~Remove() { std::remove(path); }
  } remove{luaPath};

  vbscript::Interpreter interpreter;
  interpreter.SetLocale(vbscript::Locale::English());
  interpreter.AddCode(kScript);
  // Both sides are timed in processor time of their own process, the minimum of rounds that
  // alternate between them, so that other work on the machine disturbs the ratio little.
  double best = 1e9, luaBest = 1e9;
  std::string ours, theirs;
  for (int round = 0; round < 7; ++round) {
    std::array<Variant, 1> args{Variant::Long(1000000)};
    double start = CpuSeconds();
    Variant result = interpreter.Call("Main", args);
    best = std::min(best, CpuSeconds() - start);
    ours = interpreter.ToText(result);

    std::string command = std::string("lua5.4 ") + luaPath;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
      std::cerr << "lua5.4 not available\n";
      return 1;
    }
    char buffer[256];
    std::string out;
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    if (pclose(pipe) != 0 || out.find('\t') == std::string::npos) {
      std::cerr << "lua5.4 failed: " << out << "\n";
      return 1;
    }
    theirs = out.substr(0, out.find('\t'));
    luaBest = std::min(luaBest, std::stod(out.substr(out.find('\t') + 1)));
  }
  // The amounts differ only in how many decimals each language prints.
  std::string oursHead = ours.substr(0, ours.rfind(' '));
  std::string theirsHead = theirs.substr(0, theirs.rfind(' '));
  if (oursHead != theirsHead) {
    std::cerr << "results differ: vbscript \"" << ours << "\" lua \"" << theirs << "\"\n";
    return 1;
  }
  std::printf("vbscript loop (1e6 iterations): vbscript %.1f ms, lua5.4 %.1f ms, ratio %.2f\n",
              best * 1000, luaBest * 1000, best / luaBest);
  return 0;
}
