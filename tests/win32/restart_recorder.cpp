// A stand-in for Wine's wineboot.exe in the test prefix: Wine's ExitWindowsEx starts
// "wineboot.exe --end-session" to end the session (without --shutdown for a restart, with
// --kill when forced). This one only writes its command line to C:\restart-requests.log, so a
// test sees the restart the setup asked for while the Wine session it runs in goes on.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
  if (FILE* log = std::fopen("C:\\restart-requests.log", "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
  return 0;
}
