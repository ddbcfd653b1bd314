#include "engine/WorkspaceCheck.h"

#include "engine/Workspace.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* kMethods = "0;Registrar\r\n1;Registrar:;Registrar:|No match|on hold\r\n";

std::vector<std::string> Check(const TempDir& dir) {
    return CheckWorkspace(LoadWorkspace(dir.path()));
}

TEST(WorkspaceCheck, ASoundWorkspaceHasNoProblems) {
    TempDir ws;
    ws.write("domain.txt", "Notes without a field separator are passed over quietly\r\n"
                           "\r\n"
                           "gw;http://127.0.0.1:1/w?n=%s;1;com\r\n"
                           "rdap;https://rdap.example/domain/%s;1;net;rdap;pace=1/s\r\n"
                           "port 43;whois://whois.example/%s;1;co.uk\r\n"
                           "port 43;whois://whois.example/%s;1;uk\r\n");
    ws.write("method.txt", kMethods);
    ws.write("param.txt", "[Param]\r\nLinks=100\r\nMaxLength=63\r\n");
    ws.write("default.txt", "shop\r\n");
    EXPECT_THAT(Check(ws), IsEmpty());
}

TEST(WorkspaceCheck, ZoneLinesNameTheirLineAndWhatIsWrong) {
    TempDir ws;
    ws.write("domain.txt", "gw;http://h/%s;1\r\n"               // 1: cut short
                           "gw;http://h/%s;1;com;pace=fast\r\n" // 2: bad option
                           "gw;http://h/%d;1;net\r\n"           // 3: bad template
                           "gw;http://h/page;1;org\r\n"         // 4: no %s
                           "gw;ftp://h/%s;1;info\r\n"           // 5: unknown scheme
                           "gw;http://h/%s;x;biz\r\n"           // 6: method no number
                           "gw;http://h/%s;9;io\r\n"            // 7: no such method
                           "gw;http://h/%s;1;uk\r\n"            // 8
                           "gw;http://h/%s;1;co.uk\r\n"         // 9: names go to line 8
                           "gw;http://h/%s;1;com\r\n"           // 10: second com
                           "gw;http://h/%s;1;\r\n");            // 11: empty zone
    ws.write("method.txt", kMethods);
    EXPECT_THAT(
        Check(ws),
        ElementsAre(
            "domain.txt, line 1: passed over: 3 fields, where a zone line has 4 "
            "(label;address;method number;zone)",
            "domain.txt, line 2: option \"pace=fast\" ignored: not N/s, N/min or N/h with N "
            "from 1",
            "domain.txt, line 3: address 'http://h/%d' cannot be used: it may hold one %s and "
            "no other % than %%",
            "domain.txt, line 4: address 'http://h/page' has no %s: every name would get the "
            "same reply",
            "domain.txt, line 5: address 'ftp://h/%s' is not http://, https:// or whois://",
            "domain.txt, line 6: method number 'x' is not a number",
            "domain.txt, line 7: no method has the number 9 (method.txt)",
            "domain.txt, line 9: zone 'co.uk' is never used: its names go to the earlier line "
            "for zone 'uk'",
            "domain.txt, line 10: zone 'com' is never used: its names go to the earlier line for "
            "zone 'com'",
            "domain.txt, line 11: the zone field is empty"));
}

TEST(WorkspaceCheck, MethodNumbersThatAreNoNumbers) {
    TempDir ws;
    ws.write("domain.txt", "gw;http://h/%s;2;com\r\n");
    ws.write("method.txt", "0;Registrar\r\n\r\nfirst;a:;a|b|c\r\n2;a:;a|b|c\r\n");
    EXPECT_THAT(Check(ws), ElementsAre("method.txt, line 3: the method number 'first' is not a "
                                       "number; a search that looks for a method stops here"));
}

TEST(WorkspaceCheck, MissingTablesAndUnusableSettings) {
    TempDir ws;
    ws.write("param.txt", "[Param]\r\nMain=1,x\r\nMaxLength=99\r\nLinks=0\r\nTimeOut=70000\r\n"
                          "FileNameDomain=" +
                              ws.file("gone.txt") + "\r\n");
    EXPECT_THAT(Check(ws),
                ElementsAre("domain.txt: cannot be read, so there are no zones to search",
                            "method.txt: cannot be read, so no zone has a method",
                            "param.txt: the value of Main cannot be used; its default applies",
                            "param.txt: the value of TimeOut cannot be used; its default applies",
                            "param.txt: Links=0 is out of range (1 to 100); 1 applies",
                            "param.txt: MaxLength=99 is out of range (1 to 63); 63 applies",
                            "param.txt: FileNameDomain names " + ws.file("gone.txt") +
                                ", which does not exist"));
}

} // namespace
} // namespace zendrel
