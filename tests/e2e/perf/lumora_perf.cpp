// Whole-program measurements of Lumora.exe beside lumora_minimal.exe, the
// simplest program that shows the same list and narrows it as one types (not
// a test; scripts/perf.sh runs it under Wine). Both programs are measured in
// one run, the same way, with their windows hidden as after start-up:
//   one keystroke  the round trip of a WM_CHAR sent to the edit box from this
//                  process (inside it: EN_CHANGE -> filter -> list refill);
//                  median of typing "report" and erasing it with Backspace,
//                  5 rounds, and the max: each round's slowest keystroke
//                  (the last Backspace, which brings every row back),
//                  median of the rounds, so that one hiccup of the system
//                  in one round does not decide it (the single slowest of
//                  all is printed beside it);
//   start-up       CreateProcess to the list box answering LB_GETCOUNT with
//                  every entry, median of 5 starts;
//   memory         GetProcessMemoryInfo's PagefileUsage one second after
//                  start-up (Wine leaves PrivateUsage 0), and its peak after
//                  the keystrokes;
// at each size asked for, and for the wide-row list: 1,000 entries each
// padded with 5,000 empty cells, as the writer leaves a list in which one row
// had 5,000 trailing tabs. Beside them the costs of this side: a WM_NULL round
// trip and a plain substring scan of the names in this process.
// Usage: lumora_perf <Lumora.exe> <lumora_minimal.exe> [sizes]
//   sizes: comma-separated entry counts and "wide" (default
//   1000,10000,100000,wide)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "driver/driver.h"

using namespace lumora::e2e;

namespace {

constexpr int kStarts = 5;
constexpr int kRounds = 5;
constexpr wchar_t kTyped[] = L"report";
constexpr DWORD kSlowTimeoutMs = 120000;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double Max(const std::vector<double>& samples) {
  return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

// Names as a user's list has them: English and Japanese words, some shared
// by many entries, some with "report" in them, one with quotes; each name
// unique by its number.
std::vector<std::string> MakeNames(int count) {
  static const char* const kWords[] = {
      "notepad", "Visual Studio", "Excel", "Word", "PowerPoint", "Paint", "calc", "Explorer", "Terminal",
      "Firefox", "Chrome", "putty", "WinMerge", "7-Zip", "GIMP", "Inkscape", "VLC", "Thunderbird",
      "Report Builder", "daily_report", "Sales \"Q3\" Report",
      "メモ帳", "電卓", "画像ビューア", "設定", "エディタ", "ツール", "フォルダ", "ドキュメント", "音楽", "写真",
      "月次レポート",
  };
  constexpr int kWordCount = sizeof kWords / sizeof kWords[0];
  std::vector<std::string> names;
  names.reserve(count);
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    const char* a = kWords[(seed >> 8) % kWordCount];
    const char* b = kWords[(seed >> 16) % kWordCount];
    names.push_back(std::string(a) + "_" + b + "_" + std::to_string(i));
  }
  return names;
}

// One cell as the list's writer writes it: quoted when it holds a space, with
// its quotes doubled when it holds one.
std::string Cell(const std::string& text) {
  if (text.find('"') != std::string::npos) {
    std::string quoted = "\"";
    for (char c : text) {
      quoted += c;
      if (c == '"') quoted += '"';
    }
    return quoted + "\"";
  }
  if (text.find(' ') != std::string::npos) return "\"" + text + "\"";
  return text;
}

// The list file: Shift-JIS, tab-separated, CR LF; times spread over a year;
// every row followed by padding empty cells.
std::string ListBytes(const std::vector<std::string>& namesUtf8, int padding = 0) {
  std::string bytes;
  const std::string pad(static_cast<size_t>(padding), '\t');
  for (size_t i = 0; i < namesUtf8.size(); ++i) {
    const std::string name = AnsiFromUtf16(Utf16FromUtf8(namesUtf8[i]), 932);
    char time[64];
    std::snprintf(time, sizeof time, "2025/%d/%d %d:%02d:%02d", static_cast<int>(i % 12) + 1,
                  static_cast<int>(i % 28) + 1, static_cast<int>(i % 24), static_cast<int>(i % 60),
                  static_cast<int>(i * 7 % 60));
    bytes += std::to_string(i + 1) + "\t" + Cell(name) + "\tC:\\apps\\app" + std::to_string(i + 1) + ".exe\t" +
             std::to_string(i % 50) + "\t" + time + pad + "\r\n";
  }
  return bytes;
}

struct Program {
  const char* label;
  std::wstring exe;
  const wchar_t* copyName;
  const wchar_t* title;
  bool lumora;
};

// One list to measure: its entries and the file's bytes.
struct Case {
  std::string caption;
  std::vector<std::string> names;
  std::string bytes;
  int starts = kStarts;
};

// What one program gave for one case.
struct Figures {
  std::vector<double> startups;  // ms
  std::vector<double> keystrokes;
  std::vector<double> roundMax;        // each round's slowest keystroke
  std::vector<double> lastBackspaces;  // each round's last Backspace
  double noop = 0;           // median WM_NULL round trip
  double memoryMb = 0;
  double peakMb = 0;
  int matches = -1;  // rows after typing the whole word
  bool ok = false;
};

LRESULT SendSlow(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSlowTimeoutMs, &result)) {
    throw std::runtime_error("a window did not answer within " + std::to_string(kSlowTimeoutMs / 1000) + " s");
  }
  return static_cast<LRESULT>(result);
}

struct Running {
  LumoraProcess process;
  HWND window = nullptr;
  HWND list = nullptr;
  HWND edit = nullptr;
};

void Stop(const Program& program, Running& run) {
  if (run.window != nullptr && IsWindow(run.window)) {
    if (program.lumora) {
      Post(run.window, WM_COMMAND, 221, 0);  // IDM_COMPLETECLOSE
    } else {
      Post(run.window, WM_CLOSE);
    }
  }
  if (!run.process.WaitForExit(30s)) run.process.Kill();
}

// Starts the program in its folder with a fresh copy of the list and returns
// the milliseconds from CreateProcess to the list box holding every entry.
std::optional<double> Start(const Program& program, ProgramFolder& folder, const Case& list, Running& run) {
  folder.WriteFile(L"data\\applist.tsv", list.bytes);
  const int expected = static_cast<int>(list.names.size());
  const double deadline = NowMs() + 300000;
  const double t0 = NowMs();
  run.process = LumoraProcess::StartIn(folder);
  for (;;) {
    if (run.window == nullptr) run.window = FindTopLevelWindow(run.process.Id(), program.title);
    if (run.window != nullptr && run.list == nullptr) run.list = FindChild(run.window, L"ListBox", 100);
    if (run.list != nullptr) {
      DWORD_PTR count = 0;
      if (SendMessageTimeoutW(run.list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kSlowTimeoutMs, &count) &&
          static_cast<int>(count) == expected) {
        const double ready = NowMs() - t0;
        run.edit = FindChild(run.window, L"Edit", 101);
        if (run.edit == nullptr) return std::nullopt;
        return ready;
      }
    }
    if (!run.process.IsRunning() || NowMs() > deadline) return std::nullopt;
    Sleep(1);
  }
}

std::optional<PROCESS_MEMORY_COUNTERS> Memory(const Running& run) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(run.process.Handle(), &counters, sizeof counters)) return std::nullopt;
  return counters;
}

// The keystrokes: kRounds times the word typed, then erased with Backspace.
void Type(Running& run, int rounds, int total, Figures& figures) {
  const size_t letters = wcslen(kTyped);
  for (int round = 0; round < rounds; ++round) {
    double slowest = 0;
    for (size_t i = 0; i < 2 * letters; ++i) {
      const wchar_t ch = i < letters ? kTyped[i] : L'\b';
      const double t0 = NowMs();
      SendSlow(run.edit, WM_CHAR, ch, 1);
      const double t = NowMs() - t0;
      figures.keystrokes.push_back(t);
      slowest = std::max(slowest, t);
      if (i + 1 == letters) figures.matches = static_cast<int>(SendSlow(run.list, LB_GETCOUNT));
      if (i + 1 == 2 * letters) {
        figures.lastBackspaces.push_back(t);
        const int back = static_cast<int>(SendSlow(run.list, LB_GETCOUNT));
        if (back != total) throw std::runtime_error("after erasing, the list holds " + std::to_string(back) + " of " +
                                                    std::to_string(total) + " rows");
      }
    }
    figures.roundMax.push_back(slowest);
  }
  std::vector<double> noop;
  for (int i = 0; i < 20; ++i) {
    const double t0 = NowMs();
    SendSlow(run.window, WM_NULL);
    noop.push_back(NowMs() - t0);
  }
  figures.noop = Median(noop);
}

std::string Thousands(long long n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

void Row(const char* figure, double lumora, double minimal, const char* format) {
  char a[32], b[32], ratio[32] = "-";
  std::snprintf(a, sizeof a, format, lumora);
  std::snprintf(b, sizeof b, format, minimal);
  if (minimal > 0) std::snprintf(ratio, sizeof ratio, "%.2f", lumora / minimal);
  std::printf("| %-70s | %10s | %10s | %6s |\n", figure, a, b, ratio);
}

bool MeasureCase(const Program (&programs)[2], const Case& list) {
  ProgramFolder folders[2];
  for (int p = 0; p < 2; ++p) {
    folders[p].CopyProgram(programs[p].exe, programs[p].copyName);
    if (programs[p].lumora) folders[p].WriteSettings("[flag]\r\ninstalled=1\r\n");
  }
  const int total = static_cast<int>(list.names.size());
  Figures figures[2];
  // The starts alternate between the programs, so a slower moment of the
  // machine falls on both; the last start of each stays up for the memory
  // and the keystrokes, one program at a time.
  for (int s = 0; s < list.starts; ++s) {
    for (int k = 0; k < 2; ++k) {
      const int p = (s + k) % 2;
      Running run;
      const std::optional<double> ready = Start(programs[p], folders[p], list, run);
      if (!ready) {
        std::fprintf(stderr, "%s with %s did not come up with every entry\n", programs[p].label,
                     list.caption.c_str());
        Stop(programs[p], run);
        return false;
      }
      figures[p].startups.push_back(*ready);
      if (s + 1 == list.starts) {
        PumpFor(1s);
        const auto after = Memory(run);
        if (!after) {
          std::fprintf(stderr, "GetProcessMemoryInfo failed, error %lu\n", GetLastError());
          Stop(programs[p], run);
          return false;
        }
        figures[p].memoryMb = after->PagefileUsage / (1024.0 * 1024.0);
        Type(run, list.starts > 1 ? kRounds : 1, total, figures[p]);
        if (const auto peak = Memory(run)) figures[p].peakMb = peak->PeakPagefileUsage / (1024.0 * 1024.0);
        figures[p].ok = true;
      }
      Stop(programs[p], run);
    }
  }

  // The plain scan in this process: the names as ANSI bytes, A-Z folded,
  // searched for each prefix of the typed word.
  std::vector<std::string> ansiNames;
  for (const auto& n : list.names) ansiNames.push_back(AnsiFromUtf16(Utf16FromUtf8(n), 932));
  std::vector<double> scan;
  volatile size_t sink = 0;
  std::string folded;
  for (int round = 0; round < kRounds; ++round) {
    for (size_t len = 1; len <= wcslen(kTyped); ++len) {
      std::string key;
      for (size_t i = 0; i < len; ++i) key += static_cast<char>(kTyped[i]);
      const double t0 = NowMs();
      size_t hits = 0;
      for (const auto& n : ansiNames) {
        folded = n;
        for (char& c : folded) {
          if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        hits += folded.find(key) != std::string::npos;
      }
      scan.push_back(NowMs() - t0);
      sink = sink + hits;
    }
  }

  const Figures& l = figures[0];
  const Figures& m = figures[1];
  std::printf("\n%s\n", list.caption.c_str());
  std::printf("| %-70s | %10s | %10s | %6s |\n", "figure", "Lumora", "minimal", "ratio");
  std::printf("|%s|%s|%s|%s|\n", std::string(72, '-').c_str(), std::string(12, '-').c_str(),
              std::string(12, '-').c_str(), std::string(8, '-').c_str());
  const int rounds = list.starts > 1 ? kRounds : 1;
  char what[128];
  std::snprintf(what, sizeof what, "one keystroke, median of typing \"report\" and erasing it, %d round%s, ms", rounds,
                rounds > 1 ? "s" : "");
  Row(what, Median(l.keystrokes), Median(m.keystrokes), "%.2f");
  Row("one keystroke, max (ms, each round's slowest, median of the rounds)", Median(l.roundMax), Median(m.roundMax),
      "%.2f");
  Row("  the last Backspace, every row back (ms, median of the rounds)", Median(l.lastBackspaces),
      Median(m.lastBackspaces), "%.2f");
  Row("  the single slowest keystroke of all rounds (ms)", Max(l.keystrokes), Max(m.keystrokes), "%.2f");
  std::snprintf(what, sizeof what, "start-up to the list box holding every entry (ms, median of %d)", list.starts);
  Row(what, Median(l.startups), Median(m.startups), "%.0f");
  Row("private bytes one second after start-up (MB, PagefileUsage)", l.memoryMb, m.memoryMb, "%.1f");
  Row("peak private bytes after the keystrokes (MB, PeakPagefileUsage)", l.peakMb, m.peakMb, "%.1f");
  Row("rows after typing \"report\"", l.matches, m.matches, "%.0f");
  Row("baseline: WM_NULL round trip (ms, median of 20)", l.noop, m.noop, "%.3f");
  std::printf("baseline in this process: plain substring scan of the %s names, A-Z folded: %.3f ms (median)\n",
              Thousands(total).c_str(), Median(scan));
  if (l.matches != m.matches) {
    std::printf("note: the two programs show different rows for \"report\" (%d and %d)\n", l.matches, m.matches);
  }
  return l.ok && m.ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: lumora_perf <Lumora.exe> <lumora_minimal.exe> [sizes, e.g. 1000,10000,100000,wide]\n");
    return 2;
  }
  const Program programs[2] = {
      {"Lumora", WindowsPathFromAnyPath(argv[1]), L"Lumora.exe", L"[LM]", true},
      {"lumora_minimal", WindowsPathFromAnyPath(argv[2]), L"lumora_minimal.exe", L"Lumora minimal list", false},
  };
  std::string sizes = argc > 3 ? argv[3] : "1000,10000,100000,wide";
  std::vector<std::string> items;
  for (size_t start = 0; start <= sizes.size();) {
    size_t end = sizes.find(',', start);
    if (end == std::string::npos) end = sizes.size();
    if (end > start) items.push_back(sizes.substr(start, end - start));
    start = end + 1;
  }
  try {
    int failures = 0;
    for (const std::string& item : items) {
      Case list;
      if (item == "wide") {
        constexpr int kPadding = 5000;
        list.names = MakeNames(1000);
        list.bytes = ListBytes(list.names, kPadding);
        list.starts = 1;
        list.caption = "1,000 entries, every row padded with 5,000 empty cells (" + Thousands(5 + kPadding) +
                       " cells a row, " + Thousands(static_cast<long long>(list.bytes.size())) +
                       " bytes); one start";
      } else {
        const int count = std::atoi(item.c_str());
        if (count <= 0) {
          std::fprintf(stderr, "not a size: %s\n", item.c_str());
          return 2;
        }
        list.names = MakeNames(count);
        list.bytes = ListBytes(list.names);
        list.caption = Thousands(count) + " entries";
      }
      const double t0 = NowMs();
      if (!MeasureCase(programs, list)) ++failures;
      std::printf("(measured in %.0f s)\n", (NowMs() - t0) / 1000.0);
      std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumora_perf: %s\n", error.what());
    return 1;
  }
}
