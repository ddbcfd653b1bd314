#pragma once
// The main window as the program runs it, for benchmarks: offscreen, driven by Qt's event loop
// through the bridge, its zones pointing at the local gateway on loopback.

#include "bench/ui/WindowBench.h"
#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"
#include "ui/QtLoopBridge.h"
#include "ui/UpDown.h"
#include "ui/ZoneCheckList.h"
#include "ui/domain1.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace zendrel::bench {

struct LiveWindow {
    // `keywords` go into the keyword file; every zone of `zones` is checked.
    LiveWindow(int replyDelayMs, const std::vector<std::string>& keywords,
               const std::vector<std::string>& zones)
        : gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway",
                  {"--delay-ms", std::to_string(replyDelayMs), "--idle-exit-ms", "600000"}) {
        const std::string url =
            "http://127.0.0.1:" + std::to_string(gateway.port()) + "/whois?name=%s";
        std::string zoneTable, words;
        for (const std::string& z : zones)
            zoneTable += "local;" + url + ";1;" + z + "\r\n";
        for (const std::string& k : keywords)
            words += k + "\r\n";
        folder.write("domain.txt", zoneTable);
        folder.write("method.txt", "0;Registrar;Created\r\n"
                                   "1;Registrar:;Created:;Registrar:|No match for|on hold\r\n");
        folder.write("default.txt", words);
        window = std::make_unique<T_FDomain>(loop, dialogs, folder.path());
        bridge = std::make_unique<QtLoopBridge>(
            loop, [](const std::string& what) { std::fprintf(stderr, "%s\n", what.c_str()); });
        control<ZoneCheckList>("clbDom")->setAllChecked(true);
        control<UpDown>("udLink")->setPosition(100);
        window->resize(1000, 700);
        window->show();
    }

    void setCombinations(int c) { control<UpDown>("udComb")->setPosition(c); }
    // A control of the window, found by its name as the tests find it.
    template <typename W>
    W* control(const char* name) const {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
    // Stops the run and waits for its summary.
    bool stop() {
        const int shown = dialogs.messages;
        window->sbStopClick();
        return RunEventsUntil([&] { return dialogs.messages > shown; }, 20000);
    }

    test::GatewayProcess gateway;
    ScratchFolder folder;
    QuietDialogs dialogs;
    MessageLoop loop;
    std::unique_ptr<T_FDomain> window;
    std::unique_ptr<QtLoopBridge> bridge;
};

} // namespace zendrel::bench
