// Hover benchmark: the host window's tab strip with three tabs, and a mouse
// that sweeps back and forth across all of them, over the tab bodies and
// over the close buttons, as the system delivers it: WM_NCHITTEST, then
// WM_MOUSEMOVE, then the paint of whatever became invalid.
//
//   hoverbench [--steps N] [--baseline-steps N]
//
// Prints, per hover step:
//   - the area the step repainted, as a share of the strip (3 x 189 x 22
//     pixels), over all steps and over the steps that repainted anything;
//   - the time per step (median and mean), against the same sweep in the
//     same run with the whole strip repainted at every step (what a strip
//     without its own repaint rules would do);
//   - the GDI objects of the process before and after all steps, which must
//     be equal (exit code 1 when they are not).
//
// The host is the real CTavrix3Dlg with the launcher's own resources
// (LgTarvo.exe beside this program). The benchmark plays its three tab
// processes itself: three windows of its own announced with the host's
// protocol messages. Run it on a display (tools/winerun under Xvfb).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <numeric>
#include <string>
#include <vector>

#include "Support.h"
#include "common/Constants.h"
#include "framework/App.h"
#include "framework/Scoped.h"
#include "host/TabRules.h"
#include "host/Tavrix3Dlg.h"

namespace {

constexpr int kTabs = 3;
const wchar_t* const kAccounts[kTabs] = {L"1-one-alice", L"1-one-bob", L"2-two-carol"};

struct Options {
  int steps = 10000;
  int baselineSteps = 2000;
};

bool ReadOptions(int argc, wchar_t** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--steps" && i + 1 < argc) {
      o->steps = _wtoi(argv[++i]);
    } else if (a == L"--baseline-steps" && i + 1 < argc) {
      o->baselineSteps = _wtoi(argv[++i]);
    } else {
      return false;
    }
  }
  return o->steps > 0 && o->baselineSteps > 0;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    fw::DispatchOne(&msg);
  }
}

long long RegionArea(HRGN rgn) {
  const DWORD size = GetRegionData(rgn, 0, nullptr);
  if (!size) return 0;
  std::vector<char> data(size);
  auto* rd = reinterpret_cast<RGNDATA*>(data.data());
  if (!GetRegionData(rgn, size, rd)) return 0;
  long long area = 0;
  const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
  for (DWORD i = 0; i < rd->rdh.nCount; ++i)
    area += static_cast<long long>(r[i].right - r[i].left) * (r[i].bottom - r[i].top);
  return area;
}

// The path of the mouse: left to right along the tab bodies, then right to
// left along the close buttons' row, from just off the strip to just off
// its far end.
std::vector<POINT> SweepPath() {
  const int left = tabs::kStripLeft - 10, right = tabs::TabRect(kTabs - 1).right + 10;
  std::vector<POINT> path;
  for (int x = left; x <= right; x += 3) path.push_back(POINT{x, 20});
  for (int x = right; x >= left; x -= 3) path.push_back(POINT{x, 9});
  return path;
}

struct Result {
  std::vector<double> us;          // time per step
  std::vector<long long> painted;  // repainted pixels per step
};

// `steps` hover steps along the path; with `wholeStrip` every step
// repaints the whole strip as well.
Result Sweep(HWND host, int steps, bool wholeStrip) {
  const std::vector<POINT> path = SweepPath();
  const tabs::Rect s = tabs::NewTabInvalidRect(kTabs);
  const RECT strip{s.left, s.top, s.right, s.bottom};
  fw::ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  Result r;
  r.us.reserve(static_cast<size_t>(steps));
  r.painted.reserve(static_cast<size_t>(steps));
  for (int i = 0; i < steps; ++i) {
    const POINT client = path[static_cast<size_t>(i) % path.size()];
    POINT screen = client;
    ClientToScreen(host, &screen);
    QueryPerformanceCounter(&t0);
    SendMessageW(host, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(host, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    if (wholeStrip) InvalidateRect(host, &strip, TRUE);
    GetUpdateRgn(host, rgn.get(), FALSE);
    const long long area = RegionArea(rgn.get());
    UpdateWindow(host);
    QueryPerformanceCounter(&t1);
    r.us.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 /
                   static_cast<double>(freq.QuadPart));
    r.painted.push_back(area);
  }
  return r;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Mean(const std::vector<double>& v) {
  return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

LRESULT CALLBACK FrameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!ReadOptions(argc, argv, &o)) {
    std::fprintf(stderr, "usage: hoverbench [--steps N] [--baseline-steps N]\n");
    return 2;
  }
  const std::wstring dir = test::ExeDir();
  HMODULE resources = LoadLibraryExW((dir + L"LgTarvo.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!resources) {
    std::fprintf(stderr, "hoverbench: LgTarvo.exe is not beside this program\n");
    return 2;
  }

  fw::App app;
  CTavrix3Dlg host(resources);
  // The benchmark plays the tabs itself: the host's own start of a tab
  // process finds no program and does nothing.
  host.SetTabProgram(dir + L"hoverbench-plays-the-tabs.exe");
  app.SetMainWindow(&host);
  if (!host.Create(nullptr)) {
    std::fprintf(stderr, "hoverbench: the host window could not be created\n");
    return 2;
  }

  WNDCLASSW wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"HoverBenchTab";
  RegisterClassW(&wc);
  for (const wchar_t* account : kAccounts) {
    std::wstring text = account;
    COPYDATASTRUCT cds{0, static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), &text[0]};
    if (SendMessageW(host.Hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)) != 1) {
      std::fprintf(stderr, "hoverbench: the host refused a tab\n");
      return 2;
    }
    HWND frame = CreateWindowW(L"HoverBenchTab", account, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                               host.Hwnd(), nullptr, wc.hInstance, nullptr);
    PostMessageW(host.Hwnd(), WM_TAB_CREATED, reinterpret_cast<WPARAM>(frame), 0);
    Pump();
    const RECT client = host.GetClientRect();
    const tabs::Rect area = tabs::ContentArea(client.right, client.bottom);
    MoveWindow(frame, area.left, area.top, area.Width(), area.Height(), TRUE);
    ShowWindow(frame, SW_SHOW);
  }
  Pump();
  UpdateWindow(host.Hwnd());
  if (host.TabCount() != kTabs) {
    std::fprintf(stderr, "hoverbench: the host has %d tabs\n", host.TabCount());
    return 2;
  }

  const RECT client = host.GetClientRect();
  const long long stripArea = static_cast<long long>(tabs::kTabWidth) * kTabs *
                              (tabs::kTabBottom - tabs::kTabTop);
  // A warm-up sweep, so that first-use costs do not count.
  Sweep(host.Hwnd(), static_cast<int>(SweepPath().size()), false);
  const test::GuiCounts before = test::CountGuiObjects();
  const Result r = Sweep(host.Hwnd(), o.steps, false);
  const test::GuiCounts after = test::CountGuiObjects();
  const Result whole = Sweep(host.Hwnd(), o.baselineSteps, true);

  int paintingSteps = 0;
  long long paintedSum = 0, paintedMax = 0;
  for (long long a : r.painted) {
    paintedSum += a;
    paintedMax = std::max(paintedMax, a);
    paintingSteps += a > 0;
  }
  const double steps = static_cast<double>(r.painted.size());
  const auto share = [&](double px) { return 100.0 * px / static_cast<double>(stripArea); };
  std::printf("hover benchmark: %d tabs, strip %d x %d = %lld px, host client %ld x %ld\n", kTabs,
              tabs::kTabWidth * kTabs, tabs::kTabBottom - tabs::kTabTop, stripArea, client.right,
              client.bottom);
  std::printf("steps: %zu along a path of %zu points (tab bodies, then the close buttons' row)\n",
              r.painted.size(), SweepPath().size());
  std::printf("repainted per step: mean %.2f%% of the strip; %.1f%% of the steps repaint anything,\n"
              "  those %.2f%% on average, at most %.2f%% (whole strip at every step: 100%%)\n",
              share(static_cast<double>(paintedSum) / steps),
              100.0 * paintingSteps / steps,
              paintingSteps ? share(static_cast<double>(paintedSum) / paintingSteps) : 0.0,
              share(static_cast<double>(paintedMax)));
  const double median = Median(r.us), wholeMedian = Median(whole.us);
  std::printf("time per step: median %.1f us, mean %.1f us; whole strip at every step: median "
              "%.1f us, mean %.1f us; ratio of means %.3f\n",
              median, Mean(r.us), wholeMedian, Mean(whole.us),
              Mean(whole.us) > 0 ? Mean(r.us) / Mean(whole.us) : 0.0);
  std::vector<double> paintingUs;
  for (size_t i = 0; i < r.us.size(); ++i)
    if (r.painted[i] > 0) paintingUs.push_back(r.us[i]);
  std::printf("time of a step that repaints: median %.1f us (%zu steps)\n", Median(paintingUs),
              paintingUs.size());
  const bool same = before.gdi == after.gdi;
  std::printf("GDI objects: %lu before, %lu after %zu steps: %s\n",
              static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(after.gdi),
              r.painted.size(), same ? "unchanged" : "CHANGED");
  host.Destroy();
  Pump();
  return same ? 0 : 1;
}
