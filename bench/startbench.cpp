// Start-up benchmark: how long a program takes from CreateProcess to its
// first visible top-level window, and how much memory it needed on the way,
// as multiples of a bare Win32 dialog program (baseline.exe) measured in the
// same run. The two are started alternately so that a slow spell of the
// machine (or of Wine's server) weighs on both sides alike.
//
//   startbench [--runs N] [--warmup N] [--settle MS] [--baseline EXE]
//              [--size FILE]... [--verbose] [--show-output] -- TARGET.EXE [ARGS...]
//
// Paths are Windows paths; under Wine a Unix path works as Z:\work\... .
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// ERROR_ELEVATION_REQUIRED; this mingw's winerror.h lacks it.
constexpr DWORD kErrorElevationRequired = 740;

struct Options {
  int runs = 7;
  int warmup = 1;
  DWORD settleMs = 300;         // time after the first window before closing
  DWORD windowTimeoutMs = 30000;
  DWORD closeTimeoutMs = 5000;
  bool verbose = false;
  bool showOutput = false;  // let the programs write to our stdout/stderr
  std::wstring baseline;
  std::vector<std::wstring> sizeFiles;
  std::vector<std::wstring> target;  // exe, then its arguments
};

// One start of one program.
struct Sample {
  bool window = false;    // a visible top-level window appeared
  bool timedOut = false;  // neither a window nor an exit before windowTimeoutMs
  bool killed = false;    // did not end within closeTimeoutMs of WM_CLOSE
  double startMs = 0;     // to the first window, or to the exit when there was none
  double closeMs = 0;     // WM_CLOSE to process end
  DWORD exitCode = 0;
  PROCESS_MEMORY_COUNTERS live{};   // last reading while it ran (just before WM_CLOSE)
  PROCESS_MEMORY_COUNTERS ended{};  // read after it ended, before its handle is closed
  const PROCESS_MEMORY_COUNTERS& Memory() const;
};

// Wine answers GetProcessMemoryInfo from the Unix process's /proc/<pid>/status:
// peak working set is VmHWM, working set VmRSS, and both pagefile figures are
// the current RssAnon + VmSwap (so the "peak" is no peak). Once the process
// has ended there is nothing left to read, and whether the reading after the
// wait still catches it is a race. Under Wine the figures are therefore the
// last reading taken while the process ran; on Windows they are the ones
// read after the end, which cover its whole life.
bool UnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

const PROCESS_MEMORY_COUNTERS& Sample::Memory() const {
  return UnderWine() || !ended.PeakWorkingSetSize ? live : ended;
}

class Clock {
 public:
  Clock() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double ElapsedMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// --- finding and closing the windows of one process -------------------------

struct WindowSearch {
  DWORD pid;
  bool visibleOnly;
  bool post;  // post WM_CLOSE to each match instead of stopping at the first
  int found = 0;
};

BOOL CALLBACK VisitTopLevel(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  ++search->found;
  if (!search->post) return FALSE;
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

bool HasVisibleWindow(DWORD pid) {
  WindowSearch search{pid, true, false};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found > 0;
}

// Asks the process to end the way a user would: WM_CLOSE to its visible
// top-level windows; when it shows none, to all of them.
void PostClose(DWORD pid) {
  WindowSearch visible{pid, true, true};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&visible));
  if (visible.found) return;
  WindowSearch any{pid, false, true};
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&any));
}

// --- one measured start ------------------------------------------------------

// Quotes one argument so that CommandLineToArgvW (and the C runtime's wmain
// parsing) gives it back unchanged: backslashes count only before a quote.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
  if (!line.empty()) line += L' ';
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

std::wstring CommandLine(const std::vector<std::wstring>& args) {
  std::wstring line;
  for (const auto& a : args) AppendArgument(line, a);
  return line;
}

// Keeps the earlier reading when this one is empty: Wine answers a process
// that is on its way out with success and zeros.
void ReadMemory(HANDLE process, PROCESS_MEMORY_COUNTERS* counters) {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (GetProcessMemoryInfo(process, &c, sizeof c) && c.PeakWorkingSetSize) *counters = c;
}

// An inheritable handle to the null device, for the measured programs' standard
// handles: what they print would only break up the table.
HANDLE NullDevice() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  static HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  0, nullptr);
  return nul;
}

bool Measure(const std::wstring& commandLine, const Options& options, Sample* sample) {
  std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  BOOL inheritHandles = FALSE;
  if (!options.showOutput && NullDevice() != INVALID_HANDLE_VALUE) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = NullDevice();
    inheritHandles = TRUE;
  }
  PROCESS_INFORMATION info{};

  Clock clock;
  if (!CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, inheritHandles, 0, nullptr,
                      nullptr, &startup, &info)) {
    DWORD error = GetLastError();
    std::fprintf(stderr, "startbench: cannot start %ls (error %lu)\n", commandLine.c_str(),
                 static_cast<unsigned long>(error));
    // The launcher's manifest asks for administrator rights; Windows refuses
    // CreateProcess for it from a process without them (Wine starts it).
    if (error == kErrorElevationRequired)
      std::fprintf(stderr, "startbench: run the benchmark itself as administrator\n");
    return false;
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);

  // Poll about once a millisecond. The wait on the process is the pause, so
  // an exit is seen the moment it happens.
  bool exited = false;
  for (;;) {
    if (HasVisibleWindow(info.dwProcessId)) {
      sample->startMs = clock.ElapsedMs();
      sample->window = true;
      break;
    }
    if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
      sample->startMs = clock.ElapsedMs();
      exited = true;
      break;
    }
    // Readings taken while it runs: the only ones left when it ends by itself
    // and the system keeps no counters for ended processes.
    ReadMemory(process.get(), &sample->live);
    if (clock.ElapsedMs() > options.windowTimeoutMs) {
      sample->startMs = clock.ElapsedMs();
      sample->timedOut = true;
      break;
    }
  }

  if (!exited) {
    // Let it finish painting and whatever else follows its first window.
    if (sample->window && WaitForSingleObject(process.get(), options.settleMs) == WAIT_OBJECT_0) {
      exited = true;
    } else {
      ReadMemory(process.get(), &sample->live);
      Clock closing;
      PostClose(info.dwProcessId);
      if (WaitForSingleObject(process.get(), options.closeTimeoutMs) != WAIT_OBJECT_0) {
        sample->killed = true;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), options.closeTimeoutMs);
      }
      sample->closeMs = closing.ElapsedMs();
    }
  }
  ReadMemory(process.get(), &sample->ended);
  GetExitCodeProcess(process.get(), &sample->exitCode);
  return true;
}

// --- figures -----------------------------------------------------------------

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

const char* Outcome(const Sample& s) {
  if (s.timedOut) return "timed out";
  if (!s.window) return "no window: time to exit";
  if (s.killed) return "window (killed)";
  return "window";
}

void PrintSample(int run, const char* name, const Sample& s, bool verbose) {
  const auto& m = s.Memory();
  char closeMs[16] = "-";
  if (s.window) std::snprintf(closeMs, sizeof closeMs, "%.1f", s.closeMs);
  std::printf("%4d  %-8s %9.1f  %-24s %8s %10.1f %10.1f  exit %lu\n", run, name, s.startMs,
              Outcome(s), closeMs, MiB(m.PeakWorkingSetSize), MiB(m.PeakPagefileUsage),
              static_cast<unsigned long>(s.exitCode));
  if (verbose) {
    std::printf("      running: peak WS %.1f MiB, WS %.1f, peak pagefile %.1f, pagefile %.1f\n",
                MiB(s.live.PeakWorkingSetSize), MiB(s.live.WorkingSetSize),
                MiB(s.live.PeakPagefileUsage), MiB(s.live.PagefileUsage));
    std::printf("      ended:   peak WS %.1f MiB, WS %.1f, peak pagefile %.1f, pagefile %.1f\n",
                MiB(s.ended.PeakWorkingSetSize), MiB(s.ended.WorkingSetSize),
                MiB(s.ended.PeakPagefileUsage), MiB(s.ended.PagefileUsage));
  }
  std::fflush(stdout);
}

struct Summary {
  double startMs, peakWsMiB, peakPagefileMiB;
  int windows;
  int noCounters;  // runs without any memory reading, left out of the memory medians
};

Summary Summarise(const std::vector<Sample>& samples) {
  std::vector<double> start, ws, pagefile;
  Summary s{};
  for (const auto& x : samples) {
    start.push_back(x.startMs);
    if (x.window) ++s.windows;
    if (!x.Memory().PeakWorkingSetSize) {
      ++s.noCounters;
      continue;
    }
    ws.push_back(MiB(x.Memory().PeakWorkingSetSize));
    pagefile.push_back(MiB(x.Memory().PeakPagefileUsage));
  }
  s.startMs = Median(start);
  s.peakWsMiB = Median(ws);
  s.peakPagefileMiB = Median(pagefile);
  return s;
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

// Median of the per-run ratios: each target run against the baseline run
// just before it, which cancels slow drifts of the machine.
double PairedRatio(const std::vector<Sample>& target, const std::vector<Sample>& baseline,
                   double (*field)(const Sample&)) {
  std::vector<double> r;
  for (size_t i = 0; i < target.size() && i < baseline.size(); ++i) {
    double t = field(target[i]), b = field(baseline[i]);
    if (t > 0 && b > 0) r.push_back(t / b);  // both measured
  }
  return Median(r);
}

double StartField(const Sample& s) { return s.startMs; }
double WsField(const Sample& s) { return MiB(s.Memory().PeakWorkingSetSize); }
double PagefileField(const Sample& s) { return MiB(s.Memory().PeakPagefileUsage); }

bool FileSize(const std::wstring& path, unsigned long long* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  *size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// --- command line --------------------------------------------------------------

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  size_t slash = s.find_last_of(L"\\/");
  return s.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + name;
}

// A Unix absolute path given under Wine means the same file through drive Z:.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

bool ParseCount(const wchar_t* text, long minimum, long* value) {
  wchar_t* end = nullptr;
  long v = std::wcstol(text, &end, 10);
  if (!*text || *end || v < minimum) return false;
  *value = v;
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: startbench [--runs N] [--warmup N] [--settle MS] [--baseline EXE]\n"
               "                  [--size FILE]... [--verbose] [--show-output]\n"
               "                  -- TARGET.EXE [ARGS...]\n"
               "Starts baseline.exe (beside this program unless --baseline) and the target\n"
               "alternately, N times each (default 7, after N warm-up starts each, default 1),\n"
               "and prints medians and target/baseline ratios of the time to the first visible\n"
               "window and of the peak memory. --size prints the size of a file beside the\n"
               "baseline's. --settle: milliseconds between the first window and WM_CLOSE.\n"
               "--show-output: the programs' stdout/stderr stay ours (else the null device).\n"
               "--verbose: the memory readings taken while running and after the end.\n");
  return 2;
}

bool ParseOptions(int argc, wchar_t** argv, Options* o) {
  int i = 1;
  for (; i < argc; ++i) {
    std::wstring a = argv[i];
    bool hasValue = i + 1 < argc;
    long v = 0;
    if (a == L"--") {
      ++i;
      break;
    } else if (a == L"--verbose") {
      o->verbose = true;
    } else if (a == L"--show-output") {
      o->showOutput = true;
    } else if (a == L"--runs" && hasValue && ParseCount(argv[i + 1], 1, &v)) {
      o->runs = static_cast<int>(v), ++i;
    } else if (a == L"--warmup" && hasValue && ParseCount(argv[i + 1], 0, &v)) {
      o->warmup = static_cast<int>(v), ++i;
    } else if (a == L"--settle" && hasValue && ParseCount(argv[i + 1], 0, &v)) {
      o->settleMs = static_cast<DWORD>(v), ++i;
    } else if (a == L"--baseline" && hasValue) {
      o->baseline = WindowsPath(argv[++i]);
    } else if (a == L"--size" && hasValue) {
      o->sizeFiles.push_back(WindowsPath(argv[++i]));
    } else if (a.size() > 1 && a[0] == L'-' && a[1] == L'-') {
      return false;
    } else {
      break;  // the target starts here
    }
  }
  for (; i < argc; ++i) o->target.push_back(o->target.empty() ? WindowsPath(argv[i]) : argv[i]);
  if (o->baseline.empty()) o->baseline = BesideThisProgram(L"baseline.exe");
  return !o->target.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return Usage();

  // Windows sleeps in whole clock ticks (15.6 ms by default); the 1 ms polls
  // need the finer tick. Wine sleeps to the millisecond anyway.
  timeBeginPeriod(1);

  const std::wstring baselineLine = CommandLine({options.baseline});
  const std::wstring targetLine = CommandLine(options.target);
  std::printf("baseline: %ls\ntarget:   %ls\n", baselineLine.c_str(), targetLine.c_str());
  std::printf("%d run(s) each, alternating, after %d warm-up start(s) each; settle %lu ms\n\n",
              options.runs, options.warmup, static_cast<unsigned long>(options.settleMs));

  // Warm-up starts fill the file cache and Wine's server state for both
  // programs; their figures are not kept.
  for (int i = 0; i < options.warmup; ++i) {
    Sample ignored;
    if (!Measure(baselineLine, options, &ignored)) return 1;
    if (!Measure(targetLine, options, &ignored)) return 1;
  }

  std::printf(" run  program  start ms  how                      close ms  peak WS MiB"
              "  peak pf MiB\n");
  std::vector<Sample> base, target;
  for (int run = 1; run <= options.runs; ++run) {
    Sample b, t;
    if (!Measure(baselineLine, options, &b)) return 1;
    PrintSample(run, "baseline", b, options.verbose);
    if (!Measure(targetLine, options, &t)) return 1;
    PrintSample(run, "target", t, options.verbose);
    base.push_back(b);
    target.push_back(t);
  }
  timeEndPeriod(1);

  const Summary sb = Summarise(base);
  const Summary st = Summarise(target);
  char heading[32];
  std::snprintf(heading, sizeof heading, "medians of %d run(s)", options.runs);
  std::printf("\n%-28s%10s %10s %10s %15s\n", heading, "baseline", "target", "ratio",
              "paired ratio");
  std::printf("start-up, ms                %10.1f %10.1f %10.2f %15.2f\n", sb.startMs,
              st.startMs, Ratio(st.startMs, sb.startMs), PairedRatio(target, base, StartField));
  std::printf("peak working set, MiB       %10.1f %10.1f %10.2f %15.2f\n", sb.peakWsMiB,
              st.peakWsMiB, Ratio(st.peakWsMiB, sb.peakWsMiB),
              PairedRatio(target, base, WsField));
  std::printf("peak pagefile usage, MiB    %10.1f %10.1f %10.2f %15.2f\n", sb.peakPagefileMiB,
              st.peakPagefileMiB, Ratio(st.peakPagefileMiB, sb.peakPagefileMiB),
              PairedRatio(target, base, PagefileField));

  if (st.windows < options.runs)
    std::printf("note: the target showed no window in %d of %d run(s); for those the start-up"
                " figure is the time to exit\n", options.runs - st.windows, options.runs);
  if (sb.windows < options.runs)
    std::printf("note: the baseline showed no window in %d of %d run(s)\n",
                options.runs - sb.windows, options.runs);
  if (sb.noCounters || st.noCounters)
    std::printf("note: no memory reading in %d baseline and %d target run(s); the memory"
                " medians leave them out\n", sb.noCounters, st.noCounters);
  if (UnderWine())
    std::printf("note: under Wine the memory figures are Linux ones read just before WM_CLOSE:"
                " peak working set = VmHWM (includes Wine's own mapped libraries), pagefile"
                " = current RssAnon+VmSwap (private memory, not a peak)\n");

  unsigned long long baselineSize = 0;
  bool haveBaselineSize = FileSize(options.baseline, &baselineSize);
  std::printf("\nfile sizes, bytes\n");
  for (const auto& f : options.sizeFiles) {
    unsigned long long size = 0;
    if (!FileSize(f, &size)) {
      std::printf("  %-50ls  (not found)\n", f.c_str());
      continue;
    }
    std::printf("  %-50ls %10llu", f.c_str(), size);
    if (haveBaselineSize)
      std::printf("  %.2f x baseline", Ratio(static_cast<double>(size),
                                             static_cast<double>(baselineSize)));
    std::printf("\n");
  }
  if (haveBaselineSize)
    std::printf("  %-50ls %10llu  (baseline)\n", options.baseline.c_str(), baselineSize);
  return 0;
}
