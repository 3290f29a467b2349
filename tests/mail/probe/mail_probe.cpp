// A second process for the mail tests:
//   mail_probe hold NAME          creates the endpoint, says "ready", waits to be killed
//   mail_probe send COMPUTER NAME COUNT TAG
//                                 sends COUNT mails "TAG <n>"; exit code: failures (at most 100)
//   mail_probe send-logged COMPUTER NAME COUNT TAG PAUSE_MS
//                                 the same, a pause after each, printing "TAG <n>" for each mail sent
// XTB_MAIL_PIPES=1 switches it to pipe mode.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <xtbasis/mailslot.h>

int main(int argc, char** argv) {
  if (const char* pipes = std::getenv("XTB_MAIL_PIPES"); pipes && *pipes == '1') CXTMailslotServer::UseNamedPipes();
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "hold" && argc == 3) {
    CXTMailslotServer server;
    if (!server.Create(argv[2], "")) return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) pause();
  }
  const bool logged = verb == "send-logged" && argc == 7;
  if ((verb == "send" && argc == 6) || logged) {
    const int count = std::atoi(argv[4]);
    const int pauseMs = logged ? std::atoi(argv[6]) : 0;
    int failures = 0;
    for (int n = 0; n < count; ++n) {
      const std::string text = std::string(argv[5]) + " " + std::to_string(n);
      if (!CXTMailslotClient::SendOneMessage(argv[2], argv[3], "", MAILTYPE_BENCH, text.c_str()))
        ++failures;
      else if (logged)
        std::printf("%s\n", text.c_str());
      if (pauseMs > 0) usleep(static_cast<useconds_t>(pauseMs) * 1000);
    }
    std::fflush(stdout);
    return failures > 100 ? 100 : failures;
  }
  std::fprintf(stderr, "usage: mail_probe hold NAME | send COMPUTER NAME COUNT TAG\n");
  return 2;
}
