#pragma once

#include "platform/Clock.h"
#include "platform/MessageLoop.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "tests/ui/QStringPrinter.h"
#include "ui/domain1.h"

#include <QCheckBox>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>

namespace zendrel::test {

// A workspace folder with a small zone table, method table and keyword file, and the main window
// opened on it with scripted dialogs and a manual clock.
class WindowHarness {
public:
    explicit WindowHarness(bool withFiles = true) {
        if (withFiles) {
            dir.write("domain.txt", "Gateway;http://127.0.0.1:1/w?n=%s;1;com\r\n"
                                    "Gateway;http://127.0.0.1:1/w?n=%s;1;net\r\n"
                                    "Gateway;http://127.0.0.1:1/w?n=%s;1;co.uk\r\n");
            dir.write("method.txt", "0;Registrar;Created\r\n1;Registrar:;Created:;a|b|c\r\n");
            dir.write("default.txt", "shop\r\ncloud;-\r\nbike\r\n");
        }
        window = std::make_unique<T_FDomain>(loop, dialogs, dir.path());
    }

    template <typename W>
    W* find(const char* name) const {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(find<QToolButton>(name), Qt::LeftButton); }
    void check(const char* name, bool on) { find<QCheckBox>(name)->setChecked(on); }

    TempDir dir;
    ManualClock clock;
    MessageLoop loop{clock};
    FakeDialogs dialogs;
    std::unique_ptr<T_FDomain> window;
};

} // namespace zendrel::test
