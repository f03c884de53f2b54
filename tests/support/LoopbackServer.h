#pragma once
// A web server on the loopback interface serving one folder's files, as the
// search source and the media of on-line results do for the cabinet's tools.
#include <filesystem>
#include <string>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/Wait.h"

class LoopbackServer {
 public:
  // Serves folder (its script and port file lie there too); false when the
  // server did not come up.
  bool Start(const std::filesystem::path& folder) {
    const std::filesystem::path script = folder / "server.py", port = folder / "port";
    WriteHostFile(script,
                  "import http.server, functools, os, sys\n"
                  "handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])\n"
                  "server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)\n"
                  "open(sys.argv[2] + '.new', 'w').write(str(server.server_address[1]))\n"
                  "os.replace(sys.argv[2] + '.new', sys.argv[2])\n"
                  "server.serve_forever()\n");
    if (!server_.Start({"/usr/bin/python3", script.string(), folder.string(), port.string()})) return false;
    if (!WaitUntil([&] { return std::filesystem::exists(port); })) return false;
    address_ = "http://127.0.0.1:" + ReadHostFile(port);
    return true;
  }
  // "http://127.0.0.1:PORT"
  const std::string& Address() const { return address_; }

 private:
  platform::ChildProcess server_;
  std::string address_;
};
