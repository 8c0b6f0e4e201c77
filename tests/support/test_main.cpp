// The main of every test executable. Under Wine a crash in a test could come
// back with exit code 0, because MinGW's GoogleTest catches no structured
// exceptions and Wine's crash handler's exit code is unreliable; an
// unhandled exception therefore ends the process here, loudly, with code 70.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS* pointers) {
  std::fprintf(stderr, "FATAL: unhandled exception 0x%08lx at %p\n",
               pointers->ExceptionRecord->ExceptionCode,
               pointers->ExceptionRecord->ExceptionAddress);
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 70);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  SetUnhandledExceptionFilter(ReportUnhandledException);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
