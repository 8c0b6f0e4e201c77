// A stand-in for the application that the updater closes, replaces and
// starts again: a top-level window captioned "Kelvane" that ends when it is
// asked to close, and a line in "starts.log" of its current folder for
// every start.
#include <windows.h>

#include <fstream>

namespace {

LRESULT CALLBACK StandInProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int main() {
  std::ofstream("starts.log", std::ios::app | std::ios::binary) << "started\n";
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = StandInProcedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"KelvaneStandIn";
  if (RegisterClassW(&window_class) == 0) return 1;
  // Destroyed by its own WM_CLOSE, which ends the loop below.
  const HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Kelvane",
                                      WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                      window_class.hInstance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
