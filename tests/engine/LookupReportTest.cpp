#include "engine/LookupReport.h"

#include "engine/LookupOutcome.h"
#include "net/SocketErrors.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

LookupOutcome Outcome(LookupFailure failure, int error = 0, std::string detail = {}) {
    LookupOutcome o;
    o.failure = failure;
    o.error = error;
    o.detail = std::move(detail);
    return o;
}

TEST(LookupReport, SaysWhyALookupGotNoAnswer) {
    EXPECT_EQ(WhyNoAnswer(Outcome(LookupFailure::Tls, WSAECONNABORTED,
                                  "certificate not valid for this host name")),
              "TLS failure: certificate not valid for this host name");
    EXPECT_EQ(WhyNoAnswer(Outcome(LookupFailure::ProxyTunnel, WSAECONNABORTED,
                                  "proxy refused the tunnel (403 Forbidden)")),
              "refused by proxy: proxy refused the tunnel (403 Forbidden)");
    EXPECT_EQ(WhyNoAnswer(Outcome(LookupFailure::TimeLimit)), "time limit");
    EXPECT_EQ(WhyNoAnswer(Outcome(LookupFailure::Network, WSAECONNRESET)),
              "network error: " + WSocketErrorDesc(WSAECONNRESET) + " (10054)");

    LookupOutcome refused;
    refused.refused = true;
    refused.httpStatus = 429;
    refused.replyBytes = 30;
    EXPECT_EQ(WhyNoAnswer(refused), "refused by server (HTTP 429)");

    LookupOutcome empty;
    EXPECT_EQ(WhyNoAnswer(empty), "no data: the reply was empty");
    LookupOutcome answered;
    answered.verdict = ReplyState::Available;
    answered.replyBytes = 12;
    EXPECT_EQ(WhyNoAnswer(answered), std::nullopt);
}

} // namespace
} // namespace zendrel
